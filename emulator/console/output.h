// The console's output: lines written whole, from the console thread and from the device threads
// whose log entries are printed as they happen.
#pragma once

#include <cstdio>
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

  private:
    std::mutex mutex_;
    std::FILE* stream_;
};

}  // namespace tovarin::emulator::console
