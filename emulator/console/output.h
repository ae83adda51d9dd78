// The console's output: lines written whole, from the console thread and from the device threads
// whose log entries are printed as they happen.
#pragma once

#include <cstdio>
#include <functional>
#include <mutex>
#include <string>

namespace tovarin::emulator::console {

class Output {
  public:
    explicit Output(std::FILE* stream) : stream_(stream) {}

    // Writes the text and a line end, and flushes.
    void Line(const std::string& text);
    // Writes the text without a line end (the console's prompt), and flushes.
    void Prompt(const std::string& text);
    // Also hands every line to `listener` (the web page's console pane), in the order the lines
    // are written; the listener must not write to this output. An empty one stops it.
    void SetListener(std::function<void(const std::string&)> listener);

  private:
    std::mutex mutex_;
    std::function<void(const std::string&)> listener_;
    std::FILE* stream_;
};

}  // namespace tovarin::emulator::console
