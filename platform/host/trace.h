// The device trace: what NKDbgPrintfW and OutputDebugStringW write. The emulator prints it and
// keeps it in the device log; tests subscribe to it.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace tovarin::kernel {

struct TraceLine {
    uint64_t tick_ms = 0;  // device time of the write
    std::wstring module;   // file name of the module that wrote it ("Ansley.dll"), or empty
    std::wstring text;     // the text as written, line ends included
};

class Trace {
  public:
    using Sink = std::function<void(const TraceLine&)>;

    // Sinks run on the writing thread, in the order of the writes; they must not call back into
    // the trace.
    int Subscribe(Sink sink);
    void Unsubscribe(int id);

    void Write(TraceLine line);

    // The lines written since boot (or since the last Clear), at most the last kHistory of them:
    // a phone that runs for a month keeps a bounded trace (the device log keeps what the
    // emulator's expectations need). The device log holds every line too, so this history is
    // as short as the log's own: a call answered by the machine writes about 16 lines, and a
    // longer history cost a console a few MB more over its first few hundred calls.
    static constexpr size_t kHistory = 2000;
    std::vector<TraceLine> Lines() const;
    void Clear();

  private:
    mutable std::mutex mutex_;
    std::deque<TraceLine> lines_;
    std::vector<std::pair<int, Sink>> sinks_;
    int next_id_ = 1;
};

}  // namespace tovarin::kernel
