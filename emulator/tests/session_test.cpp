// The console's commands on a booted phone: the power commands reach the device's power, the
// service commands report what the host refused, and window expectations see what is shown.
#include <windows.h>
#include <pm.h>

#include <cstdio>

#include <gtest/gtest.h>

#include "booted_emulator.h"
#include "console/parser.h"
#include "console/session.h"
#include "image/temporary_image.h"

namespace tovarin::emulator::console {
namespace {

class SessionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(image_.Make(&error)) << error;
        testing::PrepareTestImage(image_.root());
        if (HasFatalFailure()) {
            return;
        }
        session_ = std::make_unique<Session>(Session::Settings{image_.root()}, output_);
        ASSERT_TRUE(Run("boot").ok);
    }
    void TearDown() override {
        session_.reset();
        std::fclose(sink_);
    }

    Outcome Run(const std::string& line) {
        auto parsed = ParseLine(line);
        if (auto* reason = std::get_if<std::string>(&parsed)) {
            ADD_FAILURE() << line << ": " << *reason;
            return Outcome::Failed(*reason);
        }
        return session_->Execute(std::get<Command>(parsed));
    }

    static std::wstring PowerStateName(DWORD* flags) {
        WCHAR name[100] = {};
        EXPECT_EQ(GetSystemPowerState(name, 100, flags), static_cast<DWORD>(ERROR_SUCCESS));
        return name;
    }

    static BYTE AcLine() {
        SYSTEM_POWER_STATUS_EX status = {};
        EXPECT_TRUE(GetSystemPowerStatusEx(&status, FALSE));
        return status.ACLineStatus;
    }

    TemporaryImage image_;
    std::FILE* sink_ = std::tmpfile();
    Output output_{sink_};
    std::unique_ptr<Session> session_;
};

TEST_F(SessionTest, PowerCommandsChangeTheDevicesPower) {
    // The phone boots on battery in the state "on".
    DWORD flags = 0;
    EXPECT_EQ(PowerStateName(&flags), L"on");
    EXPECT_NE(flags & POWER_STATE_ON, 0u);
    EXPECT_EQ(AcLine(), AC_LINE_OFFLINE);

    ASSERT_TRUE(Run("power ac on").ok);
    EXPECT_EQ(AcLine(), AC_LINE_ONLINE);
    ASSERT_TRUE(Run("power state unattended").ok);
    EXPECT_EQ(PowerStateName(&flags), L"unattended");
    EXPECT_NE(flags & POWER_STATE_UNATTENDED, 0u);
    ASSERT_TRUE(Run("power state suspend").ok);
    EXPECT_EQ(PowerStateName(&flags), L"suspend");
    EXPECT_NE(flags & POWER_STATE_SUSPEND, 0u);
    ASSERT_TRUE(Run("power ac off").ok);
    EXPECT_EQ(AcLine(), AC_LINE_OFFLINE);
    ASSERT_TRUE(Run("power state on").ok);
    EXPECT_EQ(PowerStateName(&flags), L"on");

    ASSERT_TRUE(Run("power ac off").ok);
    EXPECT_TRUE(Run(R"(expect trace "external power connected")").ok);
    EXPECT_TRUE(Run(R"(expect trace "external power stays disconnected")").ok);
    EXPECT_TRUE(Run(R"(expect trace "system power state unattended")").ok);
}

TEST_F(SessionTest, AServiceCommandOnALibraryTheHostDidNotLoadFails) {
    // The image holds none of the suite's services.
    Outcome outcome = Run(R"(service deinit "Wexmoor.dll")");
    EXPECT_FALSE(outcome.ok);
    EXPECT_NE(outcome.reason.find("Wexmoor.dll is not a service that the host has loaded"),
              std::string::npos)
        << outcome.reason;
    EXPECT_FALSE(Run(R"(service init "Wexmoor.dll")").ok);
}

TEST_F(SessionTest, WindowExpectationsSeeOnlyShownWindows) {
    // The call dialog exists from boot on, hidden until a call rings.
    EXPECT_NE(FindWindowW(L"Dialog", L"Телефон"), nullptr);
    EXPECT_TRUE(Run(R"(expect no window "Dialog" "Телефон")").ok);
    EXPECT_FALSE(Run(R"(expect window "Dialog" "Телефон")").ok);
    ASSERT_TRUE(Run(R"(call incoming "5550001")").ok);
    EXPECT_TRUE(Run(R"(expect window "Dialog" "Телефон")").ok);
    ASSERT_TRUE(Run("call miss").ok);
    Outcome hidden = Run(R"(expect window "Dialog" "Телефон")");
    EXPECT_FALSE(hidden.ok);
    // What the failure lists still names the hidden window.
    bool named = false;
    for (const std::string& found : hidden.found) {
        named = named || found == "Dialog \"Телефон\" (hidden)";
    }
    EXPECT_TRUE(named);
}

}  // namespace
}  // namespace tovarin::emulator::console
