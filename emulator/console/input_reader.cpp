#include "console/input_reader.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace tovarin::emulator::console {

// Lines read ahead at most: piped input of any length costs no more memory than this.
constexpr size_t kReadAhead = 64;

struct ReadAheadLineSource::Shared {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::string> lines;
    std::deque<std::function<void()>> work;
    bool ended = false;
    bool stopped = false;  // the lines read ahead are dropped too
};

ReadAheadLineSource::ReadAheadLineSource(std::istream& stream, Output& output, bool prompt)
    : shared_(std::make_shared<Shared>()), output_(output), prompt_(prompt) {
    // Detached: a reader blocked on a terminal must not hold the process when the console ends.
    std::thread([shared = shared_, &stream] {
        std::string line;
        while (std::getline(stream, line)) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            std::unique_lock lock(shared->mutex);
            shared->changed.wait(lock, [&] { return shared->lines.size() < kReadAhead; });
            shared->lines.push_back(std::move(line));
            shared->changed.notify_all();
        }
        std::lock_guard lock(shared->mutex);
        shared->ended = true;
        shared->changed.notify_all();
    }).detach();
}

std::optional<std::string> ReadAheadLineSource::NextLine() {
    std::unique_lock lock(shared_->mutex);
    for (;;) {
        if (prompt_ && shared_->lines.empty() && !shared_->ended) {
            output_.Prompt("tovarin> ");
        }
        shared_->changed.wait(lock, [&] {
            return !shared_->lines.empty() || shared_->ended || !shared_->work.empty();
        });
        if (shared_->work.empty() || shared_->ended) {
            break;
        }
        std::function<void()> work = std::move(shared_->work.front());
        shared_->work.pop_front();
        lock.unlock();
        work();
        lock.lock();
    }
    if (shared_->lines.empty() || shared_->stopped) {
        return std::nullopt;
    }
    std::string line = std::move(shared_->lines.front());
    shared_->lines.pop_front();
    shared_->changed.notify_all();
    return line;
}

bool ReadAheadLineSource::Ended() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->ended && (shared_->lines.empty() || shared_->stopped);
}

std::function<void()> ReadAheadLineSource::Stopper() {
    return [shared = shared_] {
        std::lock_guard lock(shared->mutex);
        shared->ended = true;
        shared->stopped = true;
        shared->changed.notify_all();
    };
}

void ReadAheadLineSource::Post(std::function<void()> work) {
    std::lock_guard lock(shared_->mutex);
    if (shared_->ended) {
        return;
    }
    shared_->work.push_back(std::move(work));
    shared_->changed.notify_all();
}

}  // namespace tovarin::emulator::console
