// The radio's calls and the phone state they give: the "Status" bits, the number of active calls
// and the ringing caller's number that the phone publishes under HKLM\System\State\Phone.
//
// The model has one line and a waiting second call:
//   idle --Incoming--> ringing --Answer--> answering --Connect (200 ms later)--> connected
//   ringing or answering --Miss--> idle, with the missed-call bit set until the next call rings
//   connected --Second--> connected with a second call --SecondEnd--> connected
//   connected --End--> idle; connected with a second call --End--> ringing (the second call)
//   idle --Dial--> dialling --Reach (the called party answers)--> connected
//   dialling --Abandon (the user hangs up, or the called party refuses)--> idle
// Each call carries the CallId of the side that placed it, so that a line with calls of its own
// can tell which of them the phone answered, ended or missed.
// Plain data: the phone application guards it with its own thread.
#pragma once

#include <cstdint>
#include <string>

namespace tovarin::emulator::phone {

// Names a call for the side that placed it. The console's calls are all kConsoleCall; the SIP
// line numbers its calls from 1.
using CallId = uint64_t;
inline constexpr CallId kConsoleCall = 0;

// Bits of "Status".
// Set while the radio is on, so that "Status" is never 0 while the phone is in use. The suite
// watches for changes to any value but 0 and tests none of the bits below it.
inline constexpr uint32_t kStatusRadioOn = 0x00000001;
// A call was not answered; cleared when the next call rings.
inline constexpr uint32_t kStatusMissedCall = 0x00000800;
// A second call is present during a call.
inline constexpr uint32_t kStatusSecondCall = 0x00004000;
// An incoming call rings (also while it connects after being answered).
inline constexpr uint32_t kStatusIncoming = 0x00010000;
// An outgoing call is being dialled and has not been answered yet.
inline constexpr uint32_t kStatusCalling = 0x00020000;
// A call is connected.
inline constexpr uint32_t kStatusTalking = 0x20000000;

// How long an answered call takes to connect, in device milliseconds.
inline constexpr uint32_t kConnectDelayMs = 200;

struct PhoneState {
    uint32_t status = kStatusRadioOn;
    uint32_t active_calls = 0;   // calls ringing, connecting, connected or waiting
    std::wstring caller_number;  // the latest ringing caller's number; empty when withheld

    bool operator==(const PhoneState&) const = default;
};

enum class CallError {
    None,
    CallPresent,        // a call rings or is connected already
    NoRingingCall,      // nothing to answer or to miss
    AlreadyAnswered,    // the ringing call is connecting already
    NotConnecting,      // nothing to connect
    NoConnectedCall,    // nothing to end, or no call for a second one to join
    SecondCallPresent,  // only one second call at a time
    NoSecondCall,       // nothing for second-end
    PhoneUnreachable,   // the phone application did not take the command
    NoSuchCall,         // the call that leaves is not on the phone
    NoNumber,           // a call is dialled to nothing
    NotDialling,        // no outgoing call waits for its answer
    NoWayToDial,        // the number is an address no line of the phone reaches
    BadAddress,         // the SIP address is not sip:USER@HOST[:PORT] with a numeric host
};

// What the radio is told to do: a caller rings, the user answers, the caller gives up, ...
// Leave is a line's caller hanging up the call it names, whatever the call's state: a missed
// call while it rings or connects, the end of it when connected, the end of a waiting second
// call. Dial places an outgoing call to the number; Reach is the called party answering it.
enum class CallAction { Incoming, Answer, Miss, End, Second, SecondEnd, Leave, Dial, Reach };

// What happened to a call, as a line that placed it is told.
// Dials: the user placed the call; an outgoing call that nobody answered ends as Ended.
enum class CallEventKind {
    Rings,
    Answered,
    Connected,
    Missed,
    Ended,
    SecondWaits,
    SecondEnded,
    Dials
};
struct CallEvent {
    CallEventKind kind;
    CallId call;
};

// A sentence for the console.
const char* CallErrorText(CallError error);

class CallModel {
  public:
    CallError Incoming(std::wstring number, CallId call = kConsoleCall);
    CallError Answer();
    CallError Connect();
    CallError Miss();
    CallError End();
    CallError Second(std::wstring number, CallId call = kConsoleCall);
    CallError SecondEnd();
    // Outgoing calls. The dialled number is the line's number, never the published caller's.
    CallError Dial(std::wstring number, CallId call = kConsoleCall);
    CallError Reach();
    CallError Abandon();

    PhoneState State() const;
    bool Ringing() const { return line_ == Line::Ringing; }
    bool Connected() const { return line_ == Line::Connected; }
    // An outgoing call that has not been answered yet.
    bool Dialling() const { return line_ == Line::Dialling; }
    // The call on the line was dialled by the user (answered or not), not a caller's.
    bool LineDialled() const { return line_dialled_; }
    bool SecondWaiting() const { return second_call_; }
    // The call on the line (ringing, connecting or connected) and the waiting second call.
    CallId LineCall() const { return line_call_; }
    CallId SecondCall() const { return second_call_id_; }
    // The numbers of those two calls, as their callers gave them (empty when withheld).
    const std::wstring& LineNumber() const { return line_number_; }
    const std::wstring& SecondNumber() const { return second_number_; }
    // An answered call that has not connected yet.
    bool Connecting() const { return line_ == Line::Answering; }
    // Whether the phone shows its call dialog: a call rings, is dialled, connects or is connected.
    bool CallPresent() const { return line_ != Line::Idle; }

  private:
    enum class Line { Idle, Ringing, Answering, Connected, Dialling };
    Line line_ = Line::Idle;
    bool second_call_ = false;
    bool missed_ = false;
    bool line_dialled_ = false;
    std::wstring caller_number_;  // what the phone state publishes: the latest ringing caller
    std::wstring line_number_;
    std::wstring second_number_;
    CallId line_call_ = kConsoleCall;
    CallId second_call_id_ = kConsoleCall;
};

}  // namespace tovarin::emulator::phone
