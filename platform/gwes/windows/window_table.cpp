#include "gwes/windows/window_table.h"

#include <algorithm>

#include "gwes/windows/handle_values.h"

namespace tovarin::gwes {

WindowTable::WindowTable() : next_value_(kFirstWindowValue) {}

Window* WindowTable::Find(HWND hwnd) const {
    std::optional<uint32_t> value = WindowValueOf(hwnd);
    if (!value) {
        return nullptr;
    }
    auto found = windows_.find(*value);
    return found == windows_.end() ? nullptr : found->second.get();
}

std::shared_ptr<Window> WindowTable::FindShared(HWND hwnd) const {
    std::optional<uint32_t> value = WindowValueOf(hwnd);
    if (!value) {
        return nullptr;
    }
    auto found = windows_.find(*value);
    return found == windows_.end() ? nullptr : found->second;
}

bool WindowTable::Add(const std::shared_ptr<Window>& window) {
    // Values go round the whole range before one is used again, so that a stale handle does not
    // reach a newer window.
    constexpr uint32_t kValues = (kLastWindowValue - kFirstWindowValue) / kWindowValueStep + 1;
    for (uint32_t tries = 0; tries < kValues; ++tries) {
        uint32_t value = next_value_;
        next_value_ = value >= kLastWindowValue ? kFirstWindowValue : value + kWindowValueStep;
        if (windows_.contains(value)) {
            continue;
        }
        window->handle = HwndFromValue(value);
        windows_.emplace(value, window);
        if (window->parent) {
            window->parent->children.push_back(window.get());
        } else {
            top_level_.insert(top_level_.begin(), window.get());
        }
        return true;
    }
    return false;
}

void WindowTable::Remove(Window& window) {
    if (window.parent) {
        std::erase(window.parent->children, &window);
        window.parent = nullptr;
    } else {
        std::erase(top_level_, &window);
    }
    window.alive = false;
    if (std::optional<uint32_t> value = WindowValueOf(window.handle)) {
        windows_.erase(*value);  // may free the window: the last statement
    }
}

const std::vector<Window*>& WindowTable::SiblingsOf(const Window& window) const {
    return window.parent ? window.parent->children : top_level_;
}

void WindowTable::BringToTop(Window& window) {
    std::vector<Window*>& siblings = window.parent ? window.parent->children : top_level_;
    auto found = std::find(siblings.begin(), siblings.end(), &window);
    if (found != siblings.end()) {
        std::rotate(siblings.begin(), found, found + 1);
    }
}

void WindowTable::PlaceBelow(Window& window, Window& after) {
    std::vector<Window*>& siblings = window.parent ? window.parent->children : top_level_;
    if (&window == &after) {
        return;
    }
    auto found = std::find(siblings.begin(), siblings.end(), &window);
    if (found == siblings.end()) {
        return;
    }
    siblings.erase(found);
    auto anchor = std::find(siblings.begin(), siblings.end(), &after);
    siblings.insert(anchor == siblings.end() ? siblings.end() : anchor + 1, &window);
}

void WindowTable::SendToBottom(Window& window) {
    std::vector<Window*>& siblings = window.parent ? window.parent->children : top_level_;
    auto found = std::find(siblings.begin(), siblings.end(), &window);
    if (found != siblings.end()) {
        std::rotate(found, found + 1, siblings.end());
    }
}

std::vector<Window*> WindowTable::OwnedBy(const Window& owner) const {
    std::vector<Window*> owned;
    for (Window* window : top_level_) {
        if (window->owner == owner.handle) {
            owned.push_back(window);
        }
    }
    return owned;
}

std::vector<Window*> WindowTable::OfThread(uint32_t thread_id) const {
    std::vector<Window*> result;
    for (const auto& [value, window] : windows_) {
        if (window->thread_id == thread_id) {
            result.push_back(window.get());
        }
    }
    return result;
}

}  // namespace tovarin::gwes
