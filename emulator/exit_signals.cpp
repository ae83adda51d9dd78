#include "exit_signals.h"

#include <pthread.h>
#include <signal.h>
#include <termios.h>
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
    // The console may end inside its line editor, which changes the terminal's settings: the shell
    // gets them back as they were when the emulator started.
    termios terminal{};
    const bool at_terminal = isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &terminal) == 0;
    std::thread([signals, terminal, at_terminal] {
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
        if (at_terminal) {
            tcsetattr(STDIN_FILENO, TCSANOW, &terminal);
        }
        _exit(128 + number);
    }).detach();
}

}  // namespace tovarin::emulator
