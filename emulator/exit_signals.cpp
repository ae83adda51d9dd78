#include "exit_signals.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <thread>

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

}  // namespace

void HandleExitSignals() {
    const sigset_t signals = ExitSignals();
    // Every thread started from here on inherits the mask; only the thread below takes them.
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::thread([signals] {
        int number = 0;
        if (sigwait(&signals, &number) != 0) {
            return;
        }
        const bool saved = Emulator::FlushRegistryOfRunningDevice();
        std::fprintf(stderr, "\ntovarin-emu: ended by %s%s\n", strsignal(number),
                     saved ? "; the registry is saved" : "");
        std::fflush(stdout);
        _exit(128 + number);
    }).detach();
}

}  // namespace tovarin::emulator
