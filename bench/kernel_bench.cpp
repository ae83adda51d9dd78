// Kernel costs: one simulated-time jump (every thread blocked, clock moved, waiter woken).
#include <benchmark/benchmark.h>

#include <windows.h>

#include "host/device.h"

namespace {

using namespace tovarin::kernel;

// The attached benchmark thread sleeps 1 ms: it is the only device thread, so each Sleep is one
// jump of the clock and one wake-up of the sleeper.
void BM_SimulatedJumpSingleThread(benchmark::State& state) {
    Device device({.clock = ClockMode::Simulated});
    AttachedThread self("bench");
    for (auto _ : state) {
        Sleep(1);
    }
    state.counters["device_ms"] = static_cast<double>(GetTickCount());
}
BENCHMARK(BM_SimulatedJumpSingleThread);

struct PingPong {
    HANDLE stop;
};

DWORD WINAPI TimerLoop(LPVOID param) {
    auto* ping = static_cast<PingPong*>(param);
    while (WaitForSingleObject(ping->stop, 1) == WAIT_TIMEOUT) {
    }
    return 0;
}

// A device thread waits with a 1 ms time-out while the attached thread waits for it with a
// longer one: every iteration blocks both, moves the clock and wakes the device thread on another
// host thread.
void BM_SimulatedJumpWakesAnotherThread(benchmark::State& state) {
    Device device({.clock = ClockMode::Simulated});
    AttachedThread self("bench");
    PingPong ping{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    HANDLE thread = CreateThread(nullptr, 0, TimerLoop, &ping, 0, nullptr);
    DWORD start = GetTickCount();
    for (auto _ : state) {
        // Each 1 ms sleep of this thread coincides with one wake of the loop thread.
        Sleep(1);
    }
    state.counters["jumps"] = static_cast<double>(GetTickCount() - start);
    SetEvent(ping.stop);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    CloseHandle(ping.stop);
}
BENCHMARK(BM_SimulatedJumpWakesAnotherThread);

}  // namespace

BENCHMARK_MAIN();
