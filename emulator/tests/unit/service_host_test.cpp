// The service host: Init at boot and Deinit and Init again on request, on its own thread, with
// the context that Init returned, and only in the order the phone's host allows.
#include <windows.h>

#include "booted_emulator.h"
#include "probe_service.h"

namespace tovarin::emulator::testing {
namespace {

class ServiceHostTest : public BootedEmulatorTest {
  protected:
    void SetUp() override {
        Boot({{L"Probe.dll", TOVARIN_PROBE_SERVICE_PATH}}, {{L"Probe", L"Probe.dll", L"PRB"}});
        probe_ = LoadLibraryW(L"Probe.dll");
        ASSERT_NE(probe_, nullptr);
        auto calls = reinterpret_cast<ProbeCallsProc>(GetProcAddressW(probe_, L"PRB_Calls"));
        ASSERT_NE(calls, nullptr);
        calls_ = calls();
    }
    void TearDown() override {
        FreeLibrary(probe_);
        BootedEmulatorTest::TearDown();
    }

    ServiceCallResult Call(ServiceEntry entry, const wchar_t* library = L"Probe.dll") {
        ServiceCallResult result = emulator().services().Call(entry, library);
        kernel::WaitForDeviceIdle();
        return result;
    }

    HMODULE probe_ = nullptr;
    ProbeCalls* calls_ = nullptr;
};

TEST_F(ServiceHostTest, BootCallsInitOnTheHostsThread) {
    EXPECT_EQ(calls_->inits, 1u);
    EXPECT_NE(calls_->initThread, 0u);
    EXPECT_NE(calls_->initThread, GetCurrentThreadId());
    EXPECT_EQ(calls_->deinits, 0u);
    EXPECT_EQ(CountTraces(L"Probe.dll started: PRB_Init returned 20816"), 1u);
    // The suite's services that the image does not hold are skipped.
    EXPECT_EQ(CountTraces(L"Wexmoor.dll is not loaded"), 1u);
}

TEST_F(ServiceHostTest, DeinitGetsWhatInitReturnedAndIsTraced) {
    ServiceCallResult result = Call(ServiceEntry::Deinit, L"PROBE.dll");
    ASSERT_TRUE(result.called) << result.error;
    EXPECT_EQ(result.result, 7u);
    EXPECT_EQ(calls_->deinits, 1u);
    EXPECT_EQ(calls_->deinitContext, kProbeDefaultContext);
    EXPECT_EQ(calls_->deinitThread, calls_->initThread);
    EXPECT_EQ(CountTraces(L"Probe.dll: PRB_Deinit returned 7"), 1u);

    calls_->initResult = 0x77;
    result = Call(ServiceEntry::Init);
    ASSERT_TRUE(result.called) << result.error;
    EXPECT_EQ(result.result, 0x77u);
    EXPECT_EQ(calls_->inits, 2u);
    EXPECT_EQ(CountTraces(L"Probe.dll: PRB_Init returned 119"), 1u);
    ASSERT_TRUE(Call(ServiceEntry::Deinit).called);
    EXPECT_EQ(calls_->deinitContext, 0x77u);
}

TEST_F(ServiceHostTest, RefusesCallsOutOfOrder) {
    ServiceCallResult running = Call(ServiceEntry::Init);
    EXPECT_FALSE(running.called);
    EXPECT_NE(running.error.find("running"), std::string::npos) << running.error;

    ASSERT_TRUE(Call(ServiceEntry::Deinit).called);
    ServiceCallResult stopped = Call(ServiceEntry::Deinit);
    EXPECT_FALSE(stopped.called);
    EXPECT_NE(stopped.error.find("stopped"), std::string::npos) << stopped.error;
    EXPECT_EQ(calls_->deinits, 1u);
    EXPECT_EQ(calls_->inits, 1u);
}

TEST_F(ServiceHostTest, AFailedInitLeavesTheServiceStopped) {
    ASSERT_TRUE(Call(ServiceEntry::Deinit).called);
    calls_->initResult = 0;
    ServiceCallResult failed = Call(ServiceEntry::Init);
    ASSERT_TRUE(failed.called);
    EXPECT_EQ(failed.result, 0u);
    EXPECT_FALSE(Call(ServiceEntry::Deinit).called);
    calls_->initResult = 1;
    EXPECT_TRUE(Call(ServiceEntry::Init).called);
}

TEST_F(ServiceHostTest, RefusesALibraryItDidNotLoad) {
    for (const wchar_t* library : {L"Wexmoor.dll", L"Probe", L""}) {
        ServiceCallResult result = Call(ServiceEntry::Deinit, library);
        EXPECT_FALSE(result.called);
        EXPECT_NE(result.error.find("not a service"), std::string::npos) << result.error;
    }
    EXPECT_EQ(calls_->deinits, 0u);
}

TEST_F(ServiceHostTest, AnEntryPointThatNeverReturnsIsReportedAndTheHostRefusesMore) {
    calls_->blockDeinit = 1;
    ServiceCallResult blocked = Call(ServiceEntry::Deinit);
    EXPECT_FALSE(blocked.called);
    EXPECT_NE(blocked.error.find("did not return"), std::string::npos) << blocked.error;
    EXPECT_EQ(calls_->deinits, 1u);

    ServiceCallResult next = Call(ServiceEntry::Init);
    EXPECT_FALSE(next.called);
    EXPECT_NE(next.error.find("still inside"), std::string::npos) << next.error;
    EXPECT_EQ(calls_->inits, 1u);
}

}  // namespace
}  // namespace tovarin::emulator::testing
