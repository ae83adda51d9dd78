// The device log: what happened on the device, kept so that the emulator's scripts can assert it.
// Traces, driver control calls, key presses, started programs and window messages are recorded in
// the order they happened, each with the device time.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <variant>
#include <vector>

#include "kernel/trace.h"

namespace tovarin::kernel {

// A DeviceIoControl call on a driver, or a KernelIoControl call (device "HAL").
struct IoctlRecord {
    std::wstring device;  // "WAV1:", "KBM0:", "HAL", ...
    uint32_t code = 0;
    std::vector<uint8_t> input;
    // The input as 32-bit little-endian words (a trailing partial word is left out).
    std::vector<uint32_t> InputWords() const;
};

// A key pressed or released through keybd_event.
struct KeyRecord {
    uint8_t vk = 0;
    bool up = false;
};

// A program started with CreateProcessW.
struct StartedRecord {
    std::wstring image;  // device path of the image, e.g. "\Windows\Oxbane.exe"
    std::wstring command_line;
};

// A message that a window received: every message sent or posted to a window of another thread
// (and any other the window manager chooses to record).
struct MessageRecord {
    std::wstring window_class;
    std::wstring window_title;
    uint32_t message = 0;
    uint64_t wparam = 0;
    int64_t lparam = 0;
    bool posted = false;
};

struct LogEntry {
    uint64_t tick_ms = 0;
    std::variant<TraceLine, IoctlRecord, KeyRecord, StartedRecord, MessageRecord> what;
};

class DeviceLog {
  public:
    using Sink = std::function<void(const LogEntry&)>;

    void Add(LogEntry entry);
    // Entries from index `from` on (a script's "mark" remembers Size()).
    std::vector<LogEntry> Since(size_t from) const;
    size_t Size() const;

    // Sinks run on the writing thread; they must not write to the log.
    int Subscribe(Sink sink);
    void Unsubscribe(int id);

  private:
    mutable std::mutex mutex_;
    std::vector<LogEntry> entries_;
    std::vector<std::pair<int, Sink>> sinks_;
    int next_id_ = 1;
};

// Adds an entry stamped with the current device time to the current device's log.
void Record(std::variant<TraceLine, IoctlRecord, KeyRecord, StartedRecord, MessageRecord> what);

}  // namespace tovarin::kernel
