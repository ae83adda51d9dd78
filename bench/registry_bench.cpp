// Latency from a registry write to the start of its notification callback, on a device with the
// real-time clock (so the time measured is wall time). The median over all writes is reported
// as the counter "median_us"; the target is below 100 µs.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <vector>

#include <windows.h>
#include <regext.h>

#include "host/device.h"

namespace {

using Clock = std::chrono::steady_clock;

std::atomic<int64_t> g_callback_started_ns{0};
std::atomic<DWORD> g_callback_value{0};

int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}

void OnStatus(HREGNOTIFY, DWORD, const PBYTE data, const UINT size) {
    const int64_t started = NowNs();
    DWORD value = 0;
    if (data && size == sizeof value) {
        value = *reinterpret_cast<const DWORD*>(data);
    }
    g_callback_started_ns.store(started, std::memory_order_relaxed);
    g_callback_value.store(value, std::memory_order_release);
}

void BM_RegistryWriteToCallbackStart(benchmark::State& state) {
    using namespace tovarin::kernel;
    Device device({.clock = ClockMode::Real});

    HKEY phone = nullptr;
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"\\System\\State\\Phone", 0, nullptr, 0, 0, nullptr,
                    &phone, nullptr);
    HREGNOTIFY notification = nullptr;
    if (RegistryNotifyCallback(HKEY_LOCAL_MACHINE, L"\\System\\State\\Phone", L"Status", OnStatus,
                               0, nullptr, &notification) != S_OK) {
        state.SkipWithError("RegistryNotifyCallback failed");
        return;
    }

    std::vector<double> latencies_us;
    DWORD status = 0;
    for (auto _ : state) {
        ++status;
        const int64_t written = NowNs();
        RegSetValueExW(phone, L"Status", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&status),
                       sizeof status);
        // The benchmark thread is host code: it may spin while the device works.
        while (g_callback_value.load(std::memory_order_acquire) != status) {
        }
        const double latency_us =
            static_cast<double>(g_callback_started_ns.load(std::memory_order_relaxed) - written) /
            1000.0;
        latencies_us.push_back(latency_us);
        state.SetIterationTime(latency_us / 1e6);
    }

    RegistryCloseNotification(notification);
    RegCloseKey(phone);
    if (!latencies_us.empty()) {
        auto middle = latencies_us.begin() + static_cast<std::ptrdiff_t>(latencies_us.size() / 2);
        std::nth_element(latencies_us.begin(), middle, latencies_us.end());
        state.counters["median_us"] = *middle;
    }
}

BENCHMARK(BM_RegistryWriteToCallbackStart)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
