// The console's standard input, read ahead on a thread of its own, so that a command that runs
// for long (a `wait` in real time) can see that the input has ended and stop early instead of
// keeping a finished session alive.
#pragma once

#include <functional>
#include <istream>
#include <memory>
#include <optional>
#include <string>

#include "console/output.h"
#include "console/parser.h"

namespace tovarin::emulator::console {

class ReadAheadLineSource final : public LineSource {
  public:
    struct Shared;

    // terminal: standard input is a terminal: the lines are typed with a prompt ("tovarin> "),
    // line editing and history (TerminalEditor) instead of read from `stream`.
    ReadAheadLineSource(std::istream& stream, bool terminal);
    ~ReadAheadLineSource() override;
    ReadAheadLineSource(const ReadAheadLineSource&) = delete;
    ReadAheadLineSource& operator=(const ReadAheadLineSource&) = delete;
    std::optional<std::string> NextLine() override;
    // Whether the input has ended and every line read has been taken.
    bool Ended() const;
    // Something that ends the input as if it had ended now, lines read ahead and not yet taken
    // included (Ctrl-C); callable from any thread, also after this source is gone.
    std::function<void()> Stopper();
    // Has `work` run on the thread that takes the lines, while it waits for the next one (the
    // web page's commands reach the session on the console's thread this way, one at a time,
    // between the typed ones). Work posted after the input has ended is dropped.
    void Post(std::function<void()> work);
    // Runs the work posted so far, now, on the thread that takes the lines (between the commands
    // of a script that the console runs).
    void RunPosted();

  private:
    // Shared with the reading thread, which may still wait for input when the console ends.
    std::shared_ptr<Shared> shared_;
};

}  // namespace tovarin::emulator::console
