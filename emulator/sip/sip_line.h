// The phone's SIP line: a SIP user agent in the phone simulator that a softphone on the same
// machine calls (sip:ANYTHING@127.0.0.1:5060; there is no registrar). Its calls drive the same
// call model as the console's `call` commands:
//   INVITE          rings the phone (`call incoming`, or `call second` during a call), 180 Ringing;
//                   486 Busy Here when the phone cannot take it
//   the phone answers (talk key, `call answer`, the answering machine): 200 OK once connected
//   CANCEL          before the answer: a missed call
//   BYE             the caller hangs up; `call end` on the phone sends BYE
// The line runs its own thread with the SIP stack's event loop; the phone tells it what happens
// to its calls through the phone application's call observer.
#pragma once

#include <memory>
#include <string>

#include "phone/phone_application.h"
#include "sip/sip_address.h"

namespace tovarin::emulator::sip {

// The most calls the line keeps at once (the phone itself holds two); more are busy.
inline constexpr size_t kMaxSipDialogs = 4;

class SipLine {
  public:
    // Listens on address (UDP) and starts the line's thread. nullptr, with a description, when
    // the address cannot be used.
    static std::unique_ptr<SipLine> Start(const SipAddress& address, phone::PhoneApplication& phone,
                                          std::string* error);
    // Hangs up its calls (BYE to connected callers, 503 to ringing ones) and ends the thread.
    // The phone must still be up.
    ~SipLine();
    SipLine(const SipLine&) = delete;
    SipLine& operator=(const SipLine&) = delete;

    // Where the line listens (the port chosen when 0 was asked for).
    const SipAddress& address() const { return address_; }

    class Agent;

  private:
    SipLine() = default;

    SipAddress address_;
    std::unique_ptr<Agent> agent_;
};

}  // namespace tovarin::emulator::sip
