#include "console/input_reader.h"

#include "console/terminal_editor.h"

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
    // At a terminal: the console waits for a line (the editor then shows the prompt), and the
    // editor is reading one.
    std::shared_ptr<TerminalEditor> editor;
    bool wanted = false;
    bool editing = false;
};

namespace {

// At a terminal a line is read only when the console asks for one, so that the prompt shows when
// the console is ready and not while a command still runs.
void EditLines(const std::shared_ptr<ReadAheadLineSource::Shared>& shared) {
    for (;;) {
        {
            std::unique_lock lock(shared->mutex);
            shared->changed.wait(lock, [&] { return shared->wanted || shared->stopped; });
            if (shared->stopped) {
                return;
            }
            shared->wanted = false;
            shared->editing = true;
        }
        std::optional<std::string> line = shared->editor->ReadLine("tovarin> ");
        std::lock_guard lock(shared->mutex);
        shared->editing = false;
        if (!line) {
            shared->ended = true;
            shared->changed.notify_all();
            return;
        }
        shared->lines.push_back(std::move(*line));
        shared->changed.notify_all();
    }
}

}  // namespace

ReadAheadLineSource::ReadAheadLineSource(std::istream& stream, bool terminal)
    : shared_(std::make_shared<Shared>()) {
    if (terminal) {
        shared_->editor = std::make_shared<TerminalEditor>();
        // Detached, as below.
        std::thread([shared = shared_] { EditLines(shared); }).detach();
        return;
    }
    // Detached: a reader blocked on its input must not hold the process when the console ends.
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
        if (shared_->editor && shared_->lines.empty() && !shared_->ended && !shared_->editing) {
            shared_->wanted = true;
            shared_->changed.notify_all();
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

ReadAheadLineSource::~ReadAheadLineSource() {
    if (shared_->editor) {
        // The editor may still wait for a line that will never be taken (Ctrl-C ended the
        // console): the shell gets its terminal back as it was.
        shared_->editor->RestoreTerminal();
    }
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

void ReadAheadLineSource::RunPosted() {
    std::unique_lock lock(shared_->mutex);
    while (!shared_->work.empty() && !shared_->ended) {
        std::function<void()> work = std::move(shared_->work.front());
        shared_->work.pop_front();
        lock.unlock();
        work();
        lock.lock();
    }
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
