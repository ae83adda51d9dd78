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
    // prompt: print "tovarin> " before each line is awaited (an interactive terminal).
    ReadAheadLineSource(std::istream& stream, Output& output, bool prompt);
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

  private:
    struct Shared;
    // Shared with the reading thread, which may still wait for input when the console ends.
    std::shared_ptr<Shared> shared_;
    Output& output_;
    bool prompt_;
};

}  // namespace tovarin::emulator::console
