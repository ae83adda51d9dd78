// SIGINT, SIGTERM and SIGHUP end tovarin-emu as a person expects: the registry changes that wait
// for their debounced save reach the disk first, then the process ends with 128 + the signal's
// number and says why.
#pragma once

namespace tovarin::emulator {

// Call first in main, before any thread starts: the signals are then taken by a thread of their
// own, which may flush the registry safely (no handler interrupts a thread inside a lock).
void HandleExitSignals();

}  // namespace tovarin::emulator
