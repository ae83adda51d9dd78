// Pushes the screen to the page's streams as it changes. The screen's observers only mark it
// changed and wake the pump's thread, which captures, encodes and publishes one frame for all the
// changes that came since its last one; at most one frame per kMinFrameGapMs, so a burst of
// paints costs one encoding. While nothing changes the thread sleeps: no polling.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "web/event_hub.h"

namespace tovarin::emulator::web {

class FramePump {
  public:
    static constexpr int kMinFrameGapMs = 15;

    // Starts on the device that is up, and publishes the screen as it is now.
    explicit FramePump(EventHub& hub);
    // Stops watching the screen and ends the thread (before the device shuts down).
    ~FramePump();
    FramePump(const FramePump&) = delete;
    FramePump& operator=(const FramePump&) = delete;

  private:
    void Run();

    EventHub& hub_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool dirty_ = true;
    bool stopping_ = false;
    uint64_t observer_ = 0;
    std::thread thread_;
};

// The bytes as base64 (RFC 4648, with padding).
std::string Base64(const std::vector<uint8_t>& bytes);

}  // namespace tovarin::emulator::web
