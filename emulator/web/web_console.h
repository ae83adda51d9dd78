// The web page of the console: one page on 127.0.0.1 that shows the phone's live screen, takes
// touches, hardware keys, typed text and console commands, and shows the console's output and
// the device trace as they happen. It runs beside the terminal's console in the same process:
// the server has threads of its own, and what the page asks is carried out on the console's
// thread between the typed commands, through the same session.
#pragma once

#include <atomic>
#include <mutex>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include <nlohmann/json.hpp>

#include "console/input_reader.h"
#include "console/output.h"
#include "console/parser.h"
#include "console/session.h"
#include "web/event_hub.h"
#include "web/page_requests.h"
#include "web/request_guard.h"
#include "web/script_recorder.h"
#include "web/touch_lines.h"

namespace httplib {
class Server;
}

namespace tovarin::emulator::web {

class FramePump;
class ViewWatch;

class WebConsole {
  public:
    // Requests the page may have waiting for the console's thread; more are refused (503).
    static constexpr int kMaxWaiting = 32;

    // Serves the page on 127.0.0.1 at `port` (0: a free one) with a new token; null, with the
    // reason in `error`, when the port cannot be had.
    static std::unique_ptr<WebConsole> Start(console::Session& session, console::Output& output,
                                             console::ReadAheadLineSource& lines, uint16_t port,
                                             std::string* error);
    // Ends the streams, stops the server and its threads and stops watching the screen; the
    // session goes on.
    ~WebConsole();
    WebConsole(const WebConsole&) = delete;
    WebConsole& operator=(const WebConsole&) = delete;

    // The page's address with this run's token.
    std::string address() const;
    uint16_t port() const { return port_; }

    // On the console's thread after each command: the screen is watched from the boot on.
    void AfterCommand();
    // The script that the console runs now (`run`), or none: while one runs, the page shows it
    // and takes no command, touch, key or typing (409), and its views only read.
    void ScriptRuns(std::optional<std::string> name);
    // On the console's thread after each command typed on the terminal, which began at device
    // time `started_ms` (DeviceNowMs): the recorder keeps it as the page's own.
    void AfterTyped(const console::ParsedCommand& command, const console::Outcome& outcome,
                    uint64_t started_ms);

  private:
    WebConsole(console::Session& session, console::Output& output,
               console::ReadAheadLineSource& lines);
    void Route();
    // Queues a request for the console's thread; false when too many wait.
    bool Queue(struct QueuedRequest request);
    // Has the console's thread publish the panel's state (a "state" event) between commands.
    void PublishStateSoon(bool always);
    // Runs `read` on the console's thread between commands and waits for its answer; nullopt
    // when the console is busy for long or has ended.
    std::optional<nlohmann::json> AskConsole(std::function<nlohmann::json()> read);
    // The recorder's requests (record, stop, save, check, add), on the console's thread.
    nlohmann::json Recorder(const nlohmann::json& body);
    // What a request of the page that was done adds to the recording; it began at device time
    // `started_ms`.
    void Record(const PageRequest& request, uint64_t started_ms);
    // Sends every page the recorder's state (a "recorder" event).
    void PublishRecorder();

    console::Session& session_;
    console::Output& output_;
    console::ReadAheadLineSource& lines_;
    RequestGuard guard_{0, MakeRunToken()};  // takes the port once it is bound
    uint16_t port_ = 0;
    EventHub hub_;
    std::unique_ptr<httplib::Server> server_;
    std::thread listener_;
    std::unique_ptr<FramePump> frames_;  // from the boot on
    std::unique_ptr<ViewWatch> views_;   // from the boot on
    std::atomic<int> waiting_{0};
    std::atomic<bool> state_pending_{false};
    std::atomic<bool> state_always_{false};
    mutable std::mutex script_mutex_;
    std::optional<std::string> script_;  // the script that runs, guarded by script_mutex_
    std::string last_state_;             // the console's thread's
    ScriptRecorder recorder_;            // the console's thread's
    TouchRecording touch_;               // the console's thread's
    std::atomic<uint64_t> next_id_{1};
    // Shared with the work posted to the console's thread, which may outlive this object when the
    // console ends first (the work is then dropped unrun).
    std::shared_ptr<std::atomic<bool>> alive_ = std::make_shared<std::atomic<bool>>(true);
};

}  // namespace tovarin::emulator::web
