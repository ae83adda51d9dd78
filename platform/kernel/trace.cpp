#include "host/trace.h"

#include <algorithm>

namespace tovarin::kernel {

int Trace::Subscribe(Sink sink) {
    std::lock_guard lock(mutex_);
    int id = next_id_++;
    sinks_.emplace_back(id, std::move(sink));
    return id;
}

void Trace::Unsubscribe(int id) {
    std::lock_guard lock(mutex_);
    std::erase_if(sinks_, [id](const auto& entry) { return entry.first == id; });
}

void Trace::Write(TraceLine line) {
    // Held across the sinks so that every sink sees the lines in one order.
    std::lock_guard lock(mutex_);
    for (const auto& [id, sink] : sinks_) {
        sink(line);
    }
    lines_.push_back(std::move(line));
    if (lines_.size() > kHistory) {
        lines_.pop_front();
    }
}

std::vector<TraceLine> Trace::Lines() const {
    std::lock_guard lock(mutex_);
    return {lines_.begin(), lines_.end()};
}

void Trace::Clear() {
    std::lock_guard lock(mutex_);
    lines_.clear();
}

}  // namespace tovarin::kernel
