#include "console/output.h"

namespace tovarin::emulator::console {

void Output::Line(const std::string& text) {
    std::lock_guard guard(mutex_);
    std::fwrite(text.data(), 1, text.size(), stream_);
    std::fputc('\n', stream_);
    std::fflush(stream_);
    if (listener_) {
        listener_(text);
    }
}

void Output::Prompt(const std::string& text) {
    std::lock_guard guard(mutex_);
    std::fwrite(text.data(), 1, text.size(), stream_);
    std::fflush(stream_);
}

void Output::SetListener(std::function<void(const std::string&)> listener) {
    std::lock_guard guard(mutex_);
    listener_ = std::move(listener);
}

}  // namespace tovarin::emulator::console
