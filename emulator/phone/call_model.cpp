#include "phone/call_model.h"

namespace tovarin::emulator::phone {

const char* CallErrorText(CallError error) {
    switch (error) {
        case CallError::None:
            return "no error";
        case CallError::CallPresent:
            return "a call is present already (a call during a call is 'call second')";
        case CallError::NoRingingCall:
            return "no call rings";
        case CallError::AlreadyAnswered:
            return "the ringing call is answered already and connecting";
        case CallError::NotConnecting:
            return "no answered call is connecting";
        case CallError::NoConnectedCall:
            return "no call is connected";
        case CallError::SecondCallPresent:
            return "a second call is present already";
        case CallError::NoSecondCall:
            return "no second call is present";
        case CallError::PhoneUnreachable:
            return "the phone application did not take the command";
        case CallError::NoSuchCall:
            return "that call is not on the phone";
        case CallError::NoNumber:
            return "no number to dial";
        case CallError::NotDialling:
            return "no outgoing call is being dialled";
        case CallError::NoWayToDial:
            return "no line of the phone reaches that address (a SIP address needs --sip)";
        case CallError::BadAddress:
            return "a SIP address is sip:USER@HOST[:PORT] with a numeric HOST";
    }
    return "unknown error";
}

CallError CallModel::Incoming(std::wstring number, CallId call) {
    if (line_ != Line::Idle) {
        return CallError::CallPresent;
    }
    line_ = Line::Ringing;
    line_call_ = call;
    line_dialled_ = false;
    missed_ = false;
    line_number_ = number;
    caller_number_ = std::move(number);
    return CallError::None;
}

CallError CallModel::Answer() {
    if (line_ == Line::Answering) {
        return CallError::AlreadyAnswered;
    }
    if (line_ != Line::Ringing) {
        return CallError::NoRingingCall;
    }
    line_ = Line::Answering;
    return CallError::None;
}

CallError CallModel::Connect() {
    if (line_ != Line::Answering) {
        return CallError::NotConnecting;
    }
    line_ = Line::Connected;
    return CallError::None;
}

CallError CallModel::Miss() {
    if (line_ != Line::Ringing && line_ != Line::Answering) {
        return CallError::NoRingingCall;
    }
    line_ = Line::Idle;
    line_call_ = kConsoleCall;
    missed_ = true;
    return CallError::None;
}

CallError CallModel::End() {
    if (line_ != Line::Connected) {
        return CallError::NoConnectedCall;
    }
    // A waiting second call outlives the call it waited on: it rings on the free line, with its
    // caller's number already published.
    line_ = second_call_ ? Line::Ringing : Line::Idle;
    line_call_ = second_call_ ? second_call_id_ : kConsoleCall;
    line_dialled_ = false;
    if (second_call_) {
        line_number_ = second_number_;
    }
    second_call_ = false;
    second_call_id_ = kConsoleCall;
    second_number_.clear();
    return CallError::None;
}

CallError CallModel::Second(std::wstring number, CallId call) {
    if (line_ != Line::Connected) {
        return CallError::NoConnectedCall;
    }
    if (second_call_) {
        return CallError::SecondCallPresent;
    }
    second_call_ = true;
    second_call_id_ = call;
    second_number_ = number;
    caller_number_ = std::move(number);
    return CallError::None;
}

CallError CallModel::SecondEnd() {
    if (!second_call_) {
        return CallError::NoSecondCall;
    }
    second_call_ = false;
    second_call_id_ = kConsoleCall;
    second_number_.clear();
    return CallError::None;
}

CallError CallModel::Dial(std::wstring number, CallId call) {
    if (line_ != Line::Idle) {
        return CallError::CallPresent;
    }
    if (number.empty()) {
        return CallError::NoNumber;
    }
    line_ = Line::Dialling;
    line_call_ = call;
    line_dialled_ = true;
    line_number_ = std::move(number);
    // Nobody calls in: a reader of the caller's number finds none rather than the last caller's.
    caller_number_.clear();
    return CallError::None;
}

CallError CallModel::Reach() {
    if (line_ != Line::Dialling) {
        return CallError::NotDialling;
    }
    line_ = Line::Connected;
    return CallError::None;
}

CallError CallModel::Abandon() {
    if (line_ != Line::Dialling) {
        return CallError::NotDialling;
    }
    line_ = Line::Idle;
    line_call_ = kConsoleCall;
    line_dialled_ = false;
    return CallError::None;
}

PhoneState CallModel::State() const {
    PhoneState state;
    state.status = kStatusRadioOn;
    if (missed_) {
        state.status |= kStatusMissedCall;
    }
    if (line_ == Line::Ringing || line_ == Line::Answering) {
        state.status |= kStatusIncoming;
    }
    if (line_ == Line::Connected) {
        state.status |= kStatusTalking;
    }
    if (line_ == Line::Dialling) {
        state.status |= kStatusCalling;
    }
    if (second_call_) {
        state.status |= kStatusSecondCall;
    }
    state.active_calls = (line_ != Line::Idle ? 1u : 0u) + (second_call_ ? 1u : 0u);
    state.caller_number = caller_number_;
    return state;
}

}  // namespace tovarin::emulator::phone
