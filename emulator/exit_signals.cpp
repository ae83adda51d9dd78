#include "exit_signals.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>
#include <utility>

#include "emulator.h"

namespace tovarin::emulator {
namespace {

sigset_t ExitSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    return signals;
}

std::mutex g_interrupt_mutex;
std::function<void()> g_interrupt;

// Takes the handler of the first interrupt, if any.
std::function<void()> TakeInterruptHandler() {
    std::lock_guard lock(g_interrupt_mutex);
    return std::exchange(g_interrupt, nullptr);
}

}  // namespace

void SetInterruptHandler(std::function<void()> interrupt) {
    std::lock_guard lock(g_interrupt_mutex);
    g_interrupt = std::move(interrupt);
}

void HandleExitSignals() {
    const sigset_t signals = ExitSignals();
    // Every thread started from here on inherits the mask; only the thread below takes them.
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::thread([signals] {
        int number = 0;
        for (;;) {
            if (sigwait(&signals, &number) != 0) {
                return;
            }
            std::function<void()> interrupt = number == SIGINT ? TakeInterruptHandler() : nullptr;
            if (!interrupt) {
                break;
            }
            interrupt();
        }
        const bool saved = Emulator::FlushRegistryOfRunningDevice();
        std::fprintf(stderr, "\ntovarin-emu: ended by %s%s\n", strsignal(number),
                     saved ? "; the registry is saved" : "");
        std::fflush(stdout);
        _exit(128 + number);
    }).detach();
}

}  // namespace tovarin::emulator
