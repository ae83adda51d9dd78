#include "host/device_log.h"

#include <algorithm>
#include <type_traits>

#include "host/device.h"

namespace tovarin::kernel {

std::vector<uint32_t> IoctlRecord::InputWords() const {
    std::vector<uint32_t> words;
    for (size_t i = 0; i + 4 <= input.size(); i += 4) {
        words.push_back(uint32_t{input[i]} | uint32_t{input[i + 1]} << 8 |
                        uint32_t{input[i + 2]} << 16 | uint32_t{input[i + 3]} << 24);
    }
    return words;
}

size_t EntryBytes(const LogEntry& entry) {
    const auto text = [](const std::wstring& s) { return s.capacity() * sizeof(wchar_t); };
    const size_t owned = std::visit(
        [&](const auto& what) -> size_t {
            using Record = std::decay_t<decltype(what)>;
            if constexpr (std::is_same_v<Record, TraceLine>) {
                return text(what.module) + text(what.text);
            } else if constexpr (std::is_same_v<Record, IoctlRecord>) {
                return text(what.device) + what.input.capacity();
            } else if constexpr (std::is_same_v<Record, StartedRecord>) {
                return text(what.image) + text(what.command_line);
            } else if constexpr (std::is_same_v<Record, MessageRecord>) {
                return text(what.window_class) + text(what.window_title);
            } else {
                return 0;
            }
        },
        entry.what);
    return sizeof(LogEntry) + owned;
}

void DeviceLog::Add(LogEntry entry) {
    std::lock_guard guard(mutex_);
    for (const auto& [id, sink] : sinks_) {
        sink(entry);
    }
    bytes_ += EntryBytes(entry);
    entries_.push_back(std::move(entry));
    DropOld();
}

void DeviceLog::DropOld() {
    const size_t end = first_ + entries_.size();
    const size_t history_start = end > kHistory ? end - kHistory : 0;
    const size_t keep = std::min(keep_from_, history_start);
    const auto over_bounds = [this] {
        return entries_.size() > kMostEntries || bytes_ > kMostBytes;
    };
    while (!entries_.empty() && (first_ < keep || over_bounds())) {
        bytes_ -= EntryBytes(entries_.front());
        entries_.pop_front();
        ++first_;
    }
}

std::vector<LogEntry> DeviceLog::Since(size_t from) const {
    std::lock_guard guard(mutex_);
    const size_t start = std::max(from, first_);
    if (start >= first_ + entries_.size()) {
        return {};
    }
    return {entries_.begin() + static_cast<ptrdiff_t>(start - first_), entries_.end()};
}

size_t DeviceLog::Size() const {
    std::lock_guard guard(mutex_);
    return first_ + entries_.size();
}

void DeviceLog::KeepFrom(size_t from) {
    std::lock_guard guard(mutex_);
    keep_from_ = from;
    DropOld();
}

size_t DeviceLog::Kept() const {
    std::lock_guard guard(mutex_);
    return entries_.size();
}

size_t DeviceLog::FirstKept() const {
    std::lock_guard guard(mutex_);
    return first_;
}

int DeviceLog::Subscribe(Sink sink) {
    std::lock_guard guard(mutex_);
    int id = next_id_++;
    sinks_.emplace_back(id, std::move(sink));
    return id;
}

void DeviceLog::Unsubscribe(int id) {
    std::lock_guard guard(mutex_);
    std::erase_if(sinks_, [id](const auto& entry) { return entry.first == id; });
}

void Record(std::variant<TraceLine, IoctlRecord, KeyRecord, StartedRecord, MessageRecord> what) {
    Device& device = Device::Current();
    device.log().Add({device.NowMs(), std::move(what)});
}

}  // namespace tovarin::kernel
