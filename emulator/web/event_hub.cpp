#include "web/event_hub.h"

#include <algorithm>
#include <chrono>

namespace tovarin::emulator::web {

std::string SseEvent(const std::string& name, const std::string& data) {
    return "event: " + name + "\ndata: " + data + "\n\n";
}

std::shared_ptr<EventHub::Stream> EventHub::Open() {
    std::lock_guard lock(mutex_);
    if (closed_ || streams_.size() >= kMaxStreams) {
        return nullptr;
    }
    auto stream = std::make_shared<Stream>(*this);
    stream->pending_ = history_;
    streams_.push_back(stream.get());
    return stream;
}

void EventHub::Publish(const std::string& name, const std::string& data) {
    std::string event = SseEvent(name, data);
    std::lock_guard lock(mutex_);
    for (Stream* stream : streams_) {
        if (stream->pending_.size() >= kMaxBacklog) {
            stream->overrun_ = true;
        } else {
            stream->pending_.push_back(event);
        }
    }
    history_.push_back(std::move(event));
    if (history_.size() > kHistory) {
        history_.pop_front();
    }
    changed_.notify_all();
}

void EventHub::PublishFrame(std::string event) {
    std::lock_guard lock(mutex_);
    frame_ = std::make_shared<const std::string>(std::move(event));
    ++frame_number_;
    changed_.notify_all();
}

void EventHub::Close() {
    std::lock_guard lock(mutex_);
    closed_ = true;
    changed_.notify_all();
}

size_t EventHub::open_streams() const {
    std::lock_guard lock(mutex_);
    return streams_.size();
}

void EventHub::Drop(Stream* stream) {
    std::lock_guard lock(mutex_);
    streams_.erase(std::remove(streams_.begin(), streams_.end(), stream), streams_.end());
}

EventHub::Stream::~Stream() {
    hub_.Drop(this);
}

std::optional<std::string> EventHub::Stream::Next(int wait_ms) {
    std::unique_lock lock(hub_.mutex_);
    auto ready = [&] {
        return hub_.closed_ || overrun_ || !pending_.empty() || frame_sent_ != hub_.frame_number_;
    };
    if (!hub_.changed_.wait_for(lock, std::chrono::milliseconds(wait_ms), ready)) {
        return std::string(": still here\n\n");
    }
    if (hub_.closed_ || overrun_) {
        return std::nullopt;
    }
    std::string text;
    while (!pending_.empty()) {
        text += pending_.front();
        pending_.pop_front();
    }
    if (frame_sent_ != hub_.frame_number_ && hub_.frame_) {
        frame_sent_ = hub_.frame_number_;
        std::shared_ptr<const std::string> frame = hub_.frame_;
        lock.unlock();
        text += *frame;
    }
    return text;
}

}  // namespace tovarin::emulator::web
