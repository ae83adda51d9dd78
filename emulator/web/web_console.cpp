#include "web/web_console.h"

#include <httplib.h>
#include <nlohmann/json.hpp>
#include <sys/socket.h>

#include <chrono>
#include <future>

#include "web/frame_pump.h"
#include "web/page_files.h"
#include "web/page_requests.h"
#include "web/panel_state.h"
#include "web/files_view.h"
#include "web/registry_view.h"
#include "web/view_watch.h"

namespace tovarin::emulator::web {

struct QueuedRequest {
    uint64_t id = 0;
    PageRequest request;
};

namespace {

using Json = nlohmann::json;

// Server threads, one per connection being served: the event streams hold one each, and the
// rest are enough for six pages' requests while a few clients that connect and send nothing (or
// send it slowly) hold theirs until their read runs out of time.
constexpr int kServerThreads = static_cast<int>(EventHub::kMaxStreams) + 26;
// A connection that sends nothing for this long, within a request or between two, is closed.
constexpr time_t kReadTimeoutSeconds = 2;
constexpr time_t kKeepAliveSeconds = 2;
// How long a request of the Registry and Files views waits for the console's thread.
constexpr int kConsoleReadSeconds = 3;
// A page that takes nothing for this long is gone (an event stream is then ended).
constexpr time_t kWriteTimeoutSeconds = 5;
// A stream with nothing to send says so this often, so that a page that went away is noticed.
constexpr int kKeepAliveMs = 15'000;

std::optional<std::string> OneHeader(const httplib::Request& request, const char* name) {
    // A header given twice is no header one can trust.
    if (request.get_header_value_count(name) != 1) {
        return std::nullopt;
    }
    return request.get_header_value(name);
}

RequestFacts FactsOf(const httplib::Request& request) {
    RequestFacts facts;
    facts.method = request.method;
    facts.host = OneHeader(request, "Host");
    facts.origin = OneHeader(request, "Origin");
    facts.content_type = OneHeader(request, "Content-Type");
    facts.token = OneHeader(request, "X-Tovarin-Token");
    if (!facts.token && request.get_param_value_count("token") == 1) {
        facts.token = request.get_param_value("token");
    }
    facts.body_size = request.body.size();
    return facts;
}

// JSON text; bytes that are not UTF-8 (a trace line from a program) are shown as U+FFFD.
std::string Dump(const Json& json) {
    return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}

// The library's default lets a second program bind the same port (SO_REUSEPORT) and take half of
// the page's requests; this server's port is its own: SO_REUSEADDR alone (which on Linux lets no
// one else listen there) only lets a restarted emulator take its port back at once.
void BindExclusively(socket_t socket) {
    int yes = 1;
    setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
}

void Refuse(httplib::Response& response, const Refusal& refusal) {
    response.status = refusal.status;
    // A refused request's body may not have been read: the connection cannot carry another.
    response.set_header("Connection", "close");
    response.set_content(Dump(Json{{"error", refusal.reason}}), "application/json");
}

void Answer(httplib::Response& response, int status, const Json& body) {
    response.status = status;
    response.set_content(Dump(body), "application/json");
}

// Why a request of the recorder is not one it takes; nullopt when it is.
std::optional<std::string> RecorderRequestFault(const Json& body) {
    constexpr size_t kMaxChecks = 64;
    if (!body.is_object() || !body.contains("action") || !body["action"].is_string()) {
        return "the recorder needs \"action\": record, stop, save, check or add";
    }
    const std::string action = body["action"].get<std::string>();
    if (action == "check") {
        for (const char* axis : {"x", "y"}) {
            if (!body.contains(axis) || !body[axis].is_number_integer() || body[axis] < 0 ||
                body[axis] >= kMaxScreenCoordinate) {
                return "a check needs the point \"x\", \"y\" on the screen";
            }
        }
    }
    if (action == "add") {
        const auto lines = body.find("lines");
        if (lines == body.end() || !lines->is_array() || lines->size() > kMaxChecks) {
            return "adding checks needs \"lines\": at most " + std::to_string(kMaxChecks) +
                   " lines";
        }
        for (const Json& line : *lines) {
            if (!line.is_string() || line.get<std::string>().size() > kMaxCommandLine ||
                line.get<std::string>().find_first_of("\r\n") != std::string::npos) {
                return std::string("each check is one line of text");
            }
        }
    }
    return std::nullopt;
}

}  // namespace

WebConsole::WebConsole(console::Session& session, console::Output& output,
                       console::ReadAheadLineSource& lines)
    : session_(session), output_(output), lines_(lines) {}

std::unique_ptr<WebConsole> WebConsole::Start(console::Session& session, console::Output& output,
                                              console::ReadAheadLineSource& lines, uint16_t port,
                                              std::string* error) {
    std::unique_ptr<WebConsole> web(new WebConsole(session, output, lines));
    web->server_ = std::make_unique<httplib::Server>();
    httplib::Server& server = *web->server_;
    server.new_task_queue = [] { return new httplib::ThreadPool(kServerThreads); };
    server.set_payload_max_length(kMaxRequestBody);
    server.set_keep_alive_timeout(kKeepAliveSeconds);
    server.set_read_timeout(kReadTimeoutSeconds);
    server.set_write_timeout(kWriteTimeoutSeconds);
    server.set_socket_options(BindExclusively);
    int bound = port;
    if (port == 0) {
        bound = server.bind_to_any_port("127.0.0.1");
    } else if (!server.bind_to_port("127.0.0.1", port)) {
        bound = -1;
    }
    if (bound <= 0) {
        *error = port == 0 ? "no port of 127.0.0.1 is free"
                           : "127.0.0.1:" + std::to_string(port) +
                                 " is in use by another program: --web PORT takes another one "
                                 "(0 takes a free one)";
        return nullptr;
    }
    web->port_ = static_cast<uint16_t>(bound);
    web->guard_ = RequestGuard(web->port_, web->guard_.token());
    web->Route();
    web->listener_ = std::thread([&server] { server.listen_after_bind(); });
    // The server can be stopped only once it accepts; until then a stop would be lost and the
    // exit would wait for the listener for ever. The socket listens already (the kernel queues
    // the connections that come meanwhile), so this wait is the thread's start and no more.
    while (!server.is_running()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    // The address holds the token: it goes to the terminal once, and not to the pages' streams.
    output.Line("tovarin-emu: the web page is at " + web->address());
    output.SetListener([hub = &web->hub_](const std::string& line) {
        hub->Publish("line", Dump(Json{{"text", line}}));
    });
    return web;
}

WebConsole::~WebConsole() {
    *alive_ = false;
    output_.SetListener(nullptr);
    frames_.reset();
    views_.reset();
    hub_.Close();
    if (listener_.joinable()) {
        server_->stop();
        listener_.join();
    }
}

std::string WebConsole::address() const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/?token=" + guard_.token();
}

void WebConsole::AfterCommand() {
    if (!frames_ && session_.booted()) {
        frames_ = std::make_unique<FramePump>(hub_);
        views_ = std::make_unique<ViewWatch>(hub_);
    }
}

std::optional<nlohmann::json> WebConsole::AskConsole(std::function<nlohmann::json()> read) {
    auto answer = std::make_shared<std::promise<Json>>();
    std::future<Json> result = answer->get_future();
    lines_.Post([alive = alive_, answer, read = std::move(read)] {
        answer->set_value(*alive ? read() : Json{{"error", "the console has ended"}});
    });
    if (result.wait_for(std::chrono::seconds(kConsoleReadSeconds)) != std::future_status::ready) {
        return std::nullopt;
    }
    try {
        return result.get();
    } catch (const std::future_error&) {  // the console ended before it could read
        return std::nullopt;
    }
}

void WebConsole::ScriptRuns(std::optional<std::string> name) {
    {
        std::lock_guard lock(script_mutex_);
        script_ = std::move(name);
    }
    PublishStateSoon(false);
}

void WebConsole::PublishStateSoon(bool always) {
    if (always) {
        state_always_ = true;
    }
    // One read waits at most: the pages' polls do not pile up behind a long command.
    if (state_pending_.exchange(true)) {
        return;
    }
    lines_.Post([this, alive = alive_] {
        if (!*alive) {
            return;
        }
        state_pending_ = false;
        // Only a change is sent (the streams' history keeps the console's lines, not polls),
        // unless a page that has just connected asks.
        Json panel = ReadPanelState(session_);
        {
            std::lock_guard lock(script_mutex_);
            panel["script"] = script_ ? Json(*script_) : Json(nullptr);
        }
        std::string state = Dump(panel);
        if (state_always_.exchange(false) || state != last_state_) {
            last_state_ = state;
            hub_.Publish("state", state);
        }
    });
}

bool WebConsole::Queue(QueuedRequest queued) {
    if (waiting_.fetch_add(1) >= kMaxWaiting) {
        --waiting_;
        return false;
    }
    lines_.Post([this, alive = alive_, queued = std::move(queued)] {
        if (!*alive) {
            return;
        }
        --waiting_;
        const uint64_t started = DeviceNowMs();
        const auto* touch = std::get_if<StylusInput>(&queued.request);
        if (touch && touch->action == StylusInput::Action::Down && session_.booted()) {
            touch_.Down(touch->point);  // what it reaches before it acts
        }
        console::Outcome outcome = CarryOut(queued.request, session_, output_);
        if (outcome.ok) {
            Record(queued.request, started);
        }
        AfterCommand();
        hub_.Publish("outcome", Dump(Json{{"id", queued.id},
                                          {"ok", outcome.ok},
                                          {"reason", outcome.reason},
                                          {"found", outcome.found}}));
    });
    return true;
}

void WebConsole::Route() {
    httplib::Server& server = *server_;
    // Every request, whatever its path, first shows that it was meant for this server and that
    // its body is one the server takes; this runs before the body is read.
    server.set_pre_routing_handler(
        [this](const httplib::Request& request, httplib::Response& response) {
            std::optional<std::string> length;
            if (request.has_header("Content-Length")) {
                // Two lengths are no length: nullopt would read as none, so "" refuses it.
                length = OneHeader(request, "Content-Length").value_or("");
            }
            if (auto refused = guard_.CheckBeforeBody(OneHeader(request, "Host"), length)) {
                Refuse(response, *refused);
                return httplib::Server::HandlerResponse::Handled;
            }
            return httplib::Server::HandlerResponse::Unhandled;
        });

    for (const PageFile& file : PageFiles()) {
        server.Get(
            file.path, [this, file](const httplib::Request& request, httplib::Response& response) {
                if (auto refused = guard_.Check(FactsOf(request), Access::Open)) {
                    return Refuse(response, *refused);
                }
                response.set_header("Cache-Control", "no-store");
                // The page runs only its own files, and no other site may frame it.
                response.set_header("Content-Security-Policy",
                                    "default-src 'self'; img-src 'self' data:; media-src blob:; "
                                    "frame-ancestors 'none'");
                response.set_header("X-Frame-Options", "DENY");
                response.set_content(file.content.data(), file.content.size(), file.type);
            });
    }

    server.Get("/events", [this](const httplib::Request& request, httplib::Response& response) {
        if (auto refused = guard_.Check(FactsOf(request), Access::Read)) {
            return Refuse(response, *refused);
        }
        std::shared_ptr<EventHub::Stream> stream = hub_.Open();
        if (!stream) {
            return Answer(response, 503, Json{{"error", "too many pages are open"}});
        }
        response.set_header("Cache-Control", "no-store");
        response.set_chunked_content_provider(
            "text/event-stream", [stream](size_t, httplib::DataSink& sink) {
                std::optional<std::string> next = stream->Next(kKeepAliveMs);
                if (!next) {
                    sink.done();
                    return true;
                }
                return sink.write(next->data(), next->size());
            });
    });

    // A route whose JSON body names strings `fields`, answered with what `read` finds on the
    // device (404 with {"error"} when it finds nothing; 503 when a long command keeps the
    // console busy for kConsoleReadSeconds).
    auto read_route = [this](const char* path, std::vector<std::string> fields,
                             std::function<Json(const Json&)> read) {
        server_->Post(path, [this, fields, read](const httplib::Request& request,
                                                 httplib::Response& response) {
            if (auto refused = guard_.Check(FactsOf(request), Access::ChangeState)) {
                return Refuse(response, *refused);
            }
            const Json body = Json::parse(request.body, nullptr, /*allow_exceptions=*/false);
            for (const std::string& field : fields) {
                if (!body.is_object() || !body.contains(field) || !body[field].is_string()) {
                    return Answer(response, 400,
                                  Json{{"error", "the request needs \"" + field + "\" as text"}});
                }
            }
            std::optional<Json> result = AskConsole([this, read, body] {
                return session_.powered() ? read(body)
                                          : Json{{"error", "the device is off: boot it first"}};
            });
            if (!result) {
                return Answer(response, 503, Json{{"error", "the console is busy: try again"}});
            }
            Answer(response, result->contains("error") ? 404 : 200, *result);
        });
    };
    auto post = [this](const char* path, PageRoute route) {
        server_->Post(
            path, [this, route](const httplib::Request& request, httplib::Response& response) {
                if (auto refused = guard_.Check(FactsOf(request), Access::ChangeState)) {
                    return Refuse(response, *refused);
                }
                {
                    std::lock_guard lock(script_mutex_);
                    if (script_) {
                        return Answer(response, 409,
                                      Json{{"error", "the script " + *script_ +
                                                         " runs: the page changes nothing until "
                                                         "it ends"}});
                    }
                }
                auto parsed = ParsePageRequest(route, request.body);
                if (auto* reason = std::get_if<std::string>(&parsed)) {
                    return Answer(response, 400, Json{{"error", *reason}});
                }
                const uint64_t id = next_id_++;
                if (!Queue(QueuedRequest{id, std::move(std::get<PageRequest>(parsed))})) {
                    return Answer(response, 503, Json{{"error", "the console is busy: try again"}});
                }
                Answer(response, 202, Json{{"id", id}});
            });
    };
    // The panel's state, read on the console's thread between commands and sent to every page
    // as a "state" event.
    server.Post("/api/state", [this](const httplib::Request& request, httplib::Response& response) {
        if (auto refused = guard_.Check(FactsOf(request), Access::ChangeState)) {
            return Refuse(response, *refused);
        }
        // A page that has just connected asks for the state as it is, changed or not.
        const Json body = Json::parse(request.body, nullptr, /*allow_exceptions=*/false);
        auto always = body.is_object() ? body.find("always") : body.end();
        PublishStateSoon(always != body.end() && always->is_boolean() && always->get<bool>());
        Answer(response, 202, Json::object());
    });
    // The Registry and Files views: what they show is read on the console's thread between
    // commands, and the answer waits for it.
    // What they show is watched from then on (view_watch.h).
    read_route("/api/registry", {"root", "key"}, [this](const Json& body) {
        const std::string root = body["root"].get<std::string>();
        const std::string key = body["key"].get<std::string>();
        // A key that is not there is watched too: the view shows it once it is made.
        if (views_) {
            views_->WatchKey(root, key);
        }
        return ReadRegistryKey(root, key);
    });
    read_route("/api/files", {"path"}, [this](const Json& body) {
        const std::string path = body["path"].get<std::string>();
        if (views_) {
            views_->WatchFolder(path);
        }
        return ListDeviceFolder(path);
    });
    read_route("/api/file", {"path"}, [](const Json& body) {
        auto wave = body.find("as");
        return ReadDeviceFile(body["path"].get<std::string>(),
                              wave != body.end() && *wave == "wav");
    });
    // The test recorder: record, stop, save; the checks offered for a point of the screen; the
    // checks the user keeps.
    server.Post(
        "/api/recorder", [this](const httplib::Request& request, httplib::Response& response) {
            if (auto refused = guard_.Check(FactsOf(request), Access::ChangeState)) {
                return Refuse(response, *refused);
            }
            const Json body = Json::parse(request.body, nullptr, /*allow_exceptions=*/false);
            if (auto reason = RecorderRequestFault(body)) {
                return Answer(response, 400, Json{{"error", *reason}});
            }
            std::optional<Json> result = AskConsole([this, body] { return Recorder(body); });
            if (!result) {
                return Answer(response, 503, Json{{"error", "the console is busy: try again"}});
            }
            Answer(response, result->contains("error") ? 409 : 200, *result);
        });
    post("/api/command", PageRoute::Command);
    post("/api/stylus", PageRoute::Stylus);
    post("/api/key", PageRoute::Key);
    post("/api/type", PageRoute::Type);
}

}  // namespace tovarin::emulator::web
