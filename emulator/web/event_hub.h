// What the page's event streams carry, shared between the threads that produce it (the console's
// output, the frame pump, the console thread's outcomes) and the server's threads that write each
// stream. Lines and outcomes are kept in order for every stream; of the frames only the newest
// counts, so a slow page skips frames instead of falling behind. A stream that cannot keep up
// with the lines is ended (the page reconnects and starts again from the recent history).
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace tovarin::emulator::web {

class EventHub {
  public:
    // At most this many streams at once; each holds one of the server's threads.
    static constexpr size_t kMaxStreams = 6;
    // Lines a stream may fall behind before it is ended; lines a new stream starts with.
    static constexpr size_t kMaxBacklog = 2000;
    static constexpr size_t kHistory = 300;

    class Stream;

    // A new stream, starting with the recent history and the newest frame; null when there are
    // kMaxStreams already or the hub is closed.
    std::shared_ptr<Stream> Open();

    // An event for every stream: `name` as the SSE event name, `data` one line of JSON.
    void Publish(const std::string& name, const std::string& data);
    // The newest frame (an SSE event ready to send), replacing any not yet sent.
    void PublishFrame(std::string event);
    // Ends every stream; Open fails from now on.
    void Close();

    size_t open_streams() const;

  private:
    friend class Stream;
    void Drop(Stream* stream);

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool closed_ = false;
    std::deque<std::string> history_;
    std::shared_ptr<const std::string> frame_;
    uint64_t frame_number_ = 0;
    std::vector<Stream*> streams_;
};

class EventHub::Stream {
  public:
    explicit Stream(EventHub& hub) : hub_(hub) {}
    ~Stream();
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    // Waits up to `wait_ms` for what to send next: SSE text (events, or a keep-alive comment when
    // the wait ran out with nothing new). nullopt when the stream is over (the hub closed or the
    // stream fell too far behind).
    std::optional<std::string> Next(int wait_ms);

  private:
    friend class EventHub;
    EventHub& hub_;
    std::deque<std::string> pending_;  // guarded by the hub's mutex
    uint64_t frame_sent_ = 0;
    bool overrun_ = false;
};

// "event: NAME\ndata: DATA\n\n".
std::string SseEvent(const std::string& name, const std::string& data);

}  // namespace tovarin::emulator::web
