// SIGINT, SIGTERM and SIGHUP end tovarin-emu as a person expects: the registry changes that wait
// for their debounced save reach the disk first, then the process ends with 128 + the signal's
// number and says why. The console takes the first SIGINT (Ctrl-C) itself and ends as at the
// end of its input; a second one ends the process at once.
#pragma once

#include <functional>

namespace tovarin::emulator {

// Call first in main, before any thread starts: the signals are then taken by a thread of their
// own, which may flush the registry safely (no handler interrupts a thread inside a lock).
void HandleExitSignals();

// The first SIGINT from now on runs `interrupt` (on the signals' thread) instead of ending the
// process; an empty function gives SIGINT back its ordinary end.
void SetInterruptHandler(std::function<void()> interrupt);

}  // namespace tovarin::emulator
