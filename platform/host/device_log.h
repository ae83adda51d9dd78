// The device log: what happened on the device, kept so that the emulator's scripts can assert it.
// Traces, driver control calls, key presses, started programs and window messages are recorded in
// the order they happened, each with the device time.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <variant>
#include <vector>

#include "host/trace.h"

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

// Entries are numbered from 0 at boot. The log keeps every entry from the one given to KeepFrom
// on (what a script's expectations since its last mark need; from boot until it is first called)
// and the last kHistory entries besides, for a person looking back; older entries are dropped,
// so that the memory of a phone that runs for a month, or takes 100,000 calls, stays flat.
// Whatever KeepFrom asks, the log holds at most kMostEntries entries and kMostBytes bytes of them:
// past either bound the oldest go, and FirstKept() says where the kept entries begin, so that an
// expectation can tell that the entries since its mark were cut.
class DeviceLog {
  public:
    using Sink = std::function<void(const LogEntry&)>;
    static constexpr size_t kHistory = 2000;
    static constexpr size_t kMostEntries = 10'000;
    static constexpr size_t kMostBytes = size_t{2} << 20;

    void Add(LogEntry entry);
    // The entries kept from number `from` on (a script's "mark" remembers Size()).
    std::vector<LogEntry> Since(size_t from) const;
    // The number of entries added since boot (kept or not): the number of the next one.
    size_t Size() const;
    // Entries from number `from` on are kept; those before it may go once they leave the history.
    void KeepFrom(size_t from);
    // The number of entries in memory, and the number of the first of them.
    size_t Kept() const;
    size_t FirstKept() const;

    // Sinks run on the writing thread; they must not write to the log.
    int Subscribe(Sink sink);
    void Unsubscribe(int id);

  private:
    void DropOld();  // mutex_ held

    mutable std::mutex mutex_;
    std::deque<LogEntry> entries_;
    size_t first_ = 0;  // the number of entries_.front()
    size_t keep_from_ = 0;
    size_t bytes_ = 0;  // what entries_ holds, as EntryBytes counts it
    std::vector<std::pair<int, Sink>> sinks_;
    int next_id_ = 1;
};

// The memory an entry holds: the record and the text and bytes it owns.
size_t EntryBytes(const LogEntry& entry);

// Adds an entry stamped with the current device time to the current device's log.
void Record(std::variant<TraceLine, IoctlRecord, KeyRecord, StartedRecord, MessageRecord> what);

}  // namespace tovarin::kernel
