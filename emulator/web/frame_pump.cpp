#include "web/frame_pump.h"

#include <nlohmann/json.hpp>

#include <chrono>

#include "host/screen_image.h"

namespace tovarin::emulator::web {

std::string Base64(const std::vector<uint8_t>& bytes) {
    static constexpr char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const uint32_t chunk = (uint32_t{bytes[i]} << 16) |
                               (i + 1 < bytes.size() ? uint32_t{bytes[i + 1]} << 8 : 0) |
                               (i + 2 < bytes.size() ? uint32_t{bytes[i + 2]} : 0);
        text += kDigits[(chunk >> 18) & 63];
        text += kDigits[(chunk >> 12) & 63];
        text += i + 1 < bytes.size() ? kDigits[(chunk >> 6) & 63] : '=';
        text += i + 2 < bytes.size() ? kDigits[chunk & 63] : '=';
    }
    return text;
}

FramePump::FramePump(EventHub& hub) : hub_(hub) {
    observer_ = gwes::AddScreenObserver([this] {
        std::lock_guard lock(mutex_);
        dirty_ = true;
        changed_.notify_one();
    });
    thread_ = std::thread([this] { Run(); });
}

FramePump::~FramePump() {
    gwes::RemoveScreenObserver(observer_);
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        changed_.notify_one();
    }
    thread_.join();
}

void FramePump::Run() {
    uint64_t last_serial = 0;
    bool first = true;
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return dirty_ || stopping_; });
        if (stopping_) {
            return;
        }
        dirty_ = false;
        lock.unlock();
        gwes::ScreenImage image = gwes::CaptureScreen();
        if (first || image.serial != last_serial) {
            first = false;
            last_serial = image.serial;
            std::vector<uint8_t> png = gwes::EncodePng(image);
            if (!png.empty()) {
                nlohmann::json frame{{"serial", image.serial},
                                     {"width", image.width},
                                     {"height", image.height},
                                     {"png", Base64(png)}};
                hub_.PublishFrame(SseEvent("frame", frame.dump()));
            }
        }
        lock.lock();
        // Changes that come during the gap wait for its end and make one frame together.
        changed_.wait_for(lock, std::chrono::milliseconds(kMinFrameGapMs),
                          [this] { return stopping_; });
    }
}

}  // namespace tovarin::emulator::web
