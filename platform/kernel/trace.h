// The device trace: what NKDbgPrintfW and OutputDebugStringW write. The emulator prints it and
// keeps it in the device log; tests subscribe to it.
#pragma once

#include <cstdint>
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

    // Every line written since boot (or since the last Clear).
    std::vector<TraceLine> Lines() const;
    void Clear();

  private:
    mutable std::mutex mutex_;
    std::vector<TraceLine> lines_;
    std::vector<std::pair<int, Sink>> sinks_;
    int next_id_ = 1;
};

}  // namespace tovarin::kernel
