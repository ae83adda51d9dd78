#include "kernel/registry/save_scheduler.h"

#include <algorithm>

namespace tovarin::kernel::registry {

SaveScheduler::SaveScheduler(std::function<void()> save, std::chrono::milliseconds quiet,
                             std::chrono::milliseconds longest)
    : save_(std::move(save)), quiet_(quiet), longest_(longest) {}

SaveScheduler::~SaveScheduler() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void SaveScheduler::Changed() {
    std::lock_guard lock(mutex_);
    const Clock::time_point now = Clock::now();
    if (!pending_) {
        pending_ = true;
        latest_ = now + longest_;
    }
    quiet_until_ = now + quiet_;
    if (!thread_.joinable()) {
        thread_ = std::thread([this] { Run(); });
    }
    wake_.notify_all();
}

void SaveScheduler::SetDelays(std::chrono::milliseconds quiet, std::chrono::milliseconds longest) {
    std::lock_guard lock(mutex_);
    quiet_ = quiet;
    longest_ = longest;
    if (pending_) {
        const Clock::time_point now = Clock::now();
        quiet_until_ = now + quiet_;
        latest_ = std::min(latest_, now + longest_);
    }
    wake_.notify_all();
}

void SaveScheduler::Run() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (!pending_) {
            wake_.wait(lock);
            continue;
        }
        const Clock::time_point due = std::min(quiet_until_, latest_);
        if (Clock::now() < due) {
            wake_.wait_until(lock, due);
            continue;
        }
        pending_ = false;
        lock.unlock();
        save_();
        lock.lock();
    }
}

}  // namespace tovarin::kernel::registry
