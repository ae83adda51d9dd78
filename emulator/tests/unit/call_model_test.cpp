#include "phone/call_model.h"

#include <gtest/gtest.h>

#include "host/device.h"
#include "phone/phone_application.h"

namespace tovarin::emulator::phone {
namespace {

constexpr uint32_t kRadio = kStatusRadioOn;

TEST(CallModel, AnIdlePhoneHasOnlyTheRadioBit) {
    CallModel model;
    EXPECT_EQ(model.State(), (PhoneState{kRadio, 0, L""}));
    EXPECT_FALSE(model.CallPresent());
}

TEST(CallModel, ARingingCallIsIncomingUntilItConnects) {
    CallModel model;
    ASSERT_EQ(model.Incoming(L"+79125550123"), CallError::None);
    EXPECT_EQ(model.State(), (PhoneState{kRadio | kStatusIncoming, 1, L"+79125550123"}));
    EXPECT_TRUE(model.Ringing());

    ASSERT_EQ(model.Answer(), CallError::None);
    EXPECT_FALSE(model.Ringing());
    EXPECT_EQ(model.State().status, kRadio | kStatusIncoming);
    EXPECT_EQ(model.Answer(), CallError::AlreadyAnswered);

    ASSERT_EQ(model.Connect(), CallError::None);
    EXPECT_EQ(model.State(), (PhoneState{kRadio | kStatusTalking, 1, L"+79125550123"}));
    EXPECT_TRUE(model.CallPresent());

    ASSERT_EQ(model.End(), CallError::None);
    EXPECT_EQ(model.State(), (PhoneState{kRadio, 0, L"+79125550123"}));
    EXPECT_FALSE(model.CallPresent());
}

TEST(CallModel, EachCallKeepsItsIdWhenTheSecondCallTakesTheLine) {
    CallModel model;
    model.Incoming(L"5550001", 7);
    model.Answer();
    model.Connect();
    ASSERT_EQ(model.Second(L"5550002", 8), CallError::None);
    EXPECT_EQ(model.LineCall(), 7u);
    EXPECT_EQ(model.SecondCall(), 8u);
    ASSERT_EQ(model.End(), CallError::None);
    EXPECT_TRUE(model.Ringing());
    EXPECT_EQ(model.LineCall(), 8u);
    EXPECT_FALSE(model.SecondWaiting());
    ASSERT_EQ(model.Miss(), CallError::None);
    EXPECT_EQ(model.LineCall(), kConsoleCall);
}

// The call screen names the call on the line and the one waiting: the published number is the
// latest ringing caller's, but the line keeps its own caller's number until its call ends.
TEST(CallModel, EachCallKeepsItsNumber) {
    CallModel model;
    model.Incoming(L"5550001");
    model.Answer();
    model.Connect();
    model.Second(L"5550002");
    EXPECT_EQ(model.LineNumber(), L"5550001");
    EXPECT_EQ(model.SecondNumber(), L"5550002");
    model.End();
    EXPECT_EQ(model.LineNumber(), L"5550002");
    EXPECT_EQ(model.SecondNumber(), L"");
    model.Answer();
    model.Connect();
    model.Second(L"5550003");
    model.SecondEnd();
    EXPECT_EQ(model.LineNumber(), L"5550002");
    EXPECT_EQ(model.SecondNumber(), L"");
    EXPECT_EQ(model.State().caller_number, L"5550003");
}

TEST(CallModel, AMissedCallLeavesTheMissedBitUntilTheNextCallRings) {
    CallModel model;
    model.Incoming(L"5550001");
    ASSERT_EQ(model.Miss(), CallError::None);
    EXPECT_EQ(model.State(), (PhoneState{kRadio | kStatusMissedCall, 0, L"5550001"}));

    ASSERT_EQ(model.Incoming(L""), CallError::None);
    EXPECT_EQ(model.State(), (PhoneState{kRadio | kStatusIncoming, 1, L""}));
}

TEST(CallModel, ACallerMayGiveUpWhileTheAnsweredCallConnects) {
    CallModel model;
    model.Incoming(L"5550001");
    model.Answer();
    ASSERT_EQ(model.Miss(), CallError::None);
    EXPECT_EQ(model.Connect(), CallError::NotConnecting);
    EXPECT_EQ(model.State().status, kRadio | kStatusMissedCall);
}

TEST(CallModel, ASecondCallDuringACall) {
    CallModel model;
    model.Incoming(L"5550001");
    model.Answer();
    model.Connect();
    ASSERT_EQ(model.Second(L"5550002"), CallError::None);
    EXPECT_EQ(model.State(),
              (PhoneState{kRadio | kStatusTalking | kStatusSecondCall, 2, L"5550002"}));
    EXPECT_EQ(model.Second(L"5550003"), CallError::SecondCallPresent);

    ASSERT_EQ(model.SecondEnd(), CallError::None);
    EXPECT_EQ(model.State().status, kRadio | kStatusTalking);
    EXPECT_EQ(model.State().active_calls, 1u);
    EXPECT_EQ(model.SecondEnd(), CallError::NoSecondCall);

    // A waiting second call rings when the call it waited on ends, and can be answered.
    model.Second(L"5550004");
    ASSERT_EQ(model.End(), CallError::None);
    EXPECT_EQ(model.State(), (PhoneState{kRadio | kStatusIncoming, 1, L"5550004"}));
    ASSERT_EQ(model.Answer(), CallError::None);
    ASSERT_EQ(model.Connect(), CallError::None);
    ASSERT_EQ(model.End(), CallError::None);
    EXPECT_EQ(model.State(), (PhoneState{kRadio, 0, L"5550004"}));
}

TEST(CallModel, RefusesWhatTheLineCannotDo) {
    CallModel model;
    EXPECT_EQ(model.Answer(), CallError::NoRingingCall);
    EXPECT_EQ(model.Miss(), CallError::NoRingingCall);
    EXPECT_EQ(model.End(), CallError::NoConnectedCall);
    EXPECT_EQ(model.Second(L"1"), CallError::NoConnectedCall);
    EXPECT_EQ(model.Connect(), CallError::NotConnecting);

    model.Incoming(L"1");
    EXPECT_EQ(model.Incoming(L"2"), CallError::CallPresent);
    EXPECT_EQ(model.End(), CallError::NoConnectedCall);
    EXPECT_EQ(model.Second(L"2"), CallError::NoConnectedCall);
    // A refused command changes nothing.
    EXPECT_EQ(model.State(), (PhoneState{kRadio | kStatusIncoming, 1, L"1"}));
}

// An outgoing call is "calling" until the called party answers, then talking like any call; it
// never shows as incoming and never publishes the dialled number as a caller's.
TEST(CallModel, AnOutgoingCallIsCallingUntilAnswered) {
    CallModel model;
    model.Incoming(L"5550001");
    model.Miss();
    ASSERT_EQ(model.Dial(L"+79125550123", 3), CallError::None);
    EXPECT_EQ(model.State(), (PhoneState{kRadio | kStatusMissedCall | kStatusCalling, 1, L""}));
    EXPECT_TRUE(model.Dialling());
    EXPECT_TRUE(model.CallPresent());
    EXPECT_EQ(model.LineNumber(), L"+79125550123");
    EXPECT_EQ(model.LineCall(), 3u);
    // Nothing of an incoming call applies to it.
    EXPECT_EQ(model.Answer(), CallError::NoRingingCall);
    EXPECT_EQ(model.Miss(), CallError::NoRingingCall);
    EXPECT_EQ(model.End(), CallError::NoConnectedCall);
    EXPECT_EQ(model.Incoming(L"5550002"), CallError::CallPresent);
    EXPECT_EQ(model.Dial(L"5550002"), CallError::CallPresent);

    ASSERT_EQ(model.Reach(), CallError::None);
    EXPECT_EQ(model.State(), (PhoneState{kRadio | kStatusMissedCall | kStatusTalking, 1, L""}));
    EXPECT_EQ(model.Reach(), CallError::NotDialling);
    EXPECT_EQ(model.Abandon(), CallError::NotDialling);
    ASSERT_EQ(model.End(), CallError::None);
    EXPECT_FALSE(model.CallPresent());
}

TEST(CallModel, AnOutgoingCallMayEndBeforeItIsAnswered) {
    CallModel model;
    EXPECT_EQ(model.Dial(L""), CallError::NoNumber);
    EXPECT_EQ(model.Abandon(), CallError::NotDialling);
    model.Dial(L"5550001", 5);
    ASSERT_EQ(model.Abandon(), CallError::None);
    EXPECT_EQ(model.State(), (PhoneState{kRadio, 0, L""}));
    EXPECT_EQ(model.LineCall(), kConsoleCall);
    // The line is free again for a call either way.
    EXPECT_EQ(model.Incoming(L"5550002"), CallError::None);
}

// The history files a call by who placed it: a second call that rings on the line a dialled
// call leaves is a caller's.
TEST(CallModel, OnlyTheCallTheUserDialledIsDialled) {
    CallModel model;
    model.Dial(L"5550001");
    EXPECT_TRUE(model.LineDialled());
    model.Reach();
    model.Second(L"5550002");
    EXPECT_TRUE(model.LineDialled());
    ASSERT_EQ(model.End(), CallError::None);
    ASSERT_TRUE(model.Ringing());
    EXPECT_FALSE(model.LineDialled());
    model.Miss();
    model.Dial(L"5550003");
    model.Abandon();
    model.Incoming(L"5550004");
    EXPECT_FALSE(model.LineDialled());
}

TEST(CallModel, TheRadioBitIsNoneOfTheBitsTheServicesWatch) {
    for (uint32_t watched :
         {kStatusMissedCall, kStatusSecondCall, kStatusIncoming, kStatusCalling, kStatusTalking}) {
        EXPECT_EQ(kStatusRadioOn & watched, 0u);
    }
    EXPECT_NE(kStatusRadioOn, 0u);
}

// A command that never reaches the phone's window is no success: SendMessageW's 0 then means
// nothing was done.
TEST(PhoneApplication, ACommandThePhoneNeverTookFails) {
    kernel::Device device(kernel::DeviceOptions{});
    kernel::AttachedThread self("test");
    PhoneApplication phone;  // never started: it has no window
    EXPECT_EQ(phone.Carry(CallAction::Incoming, L"5550001"), CallError::PhoneUnreachable);
    EXPECT_EQ(phone.Carry(CallAction::End, L""), CallError::PhoneUnreachable);
}

}  // namespace
}  // namespace tovarin::emulator::phone
