// The web page drives a phone, so its server is guarded as a local console should be. A request
// is answered only when its Host is the server's own address (127.0.0.1 or localhost with the
// port: a name that some web site made point at 127.0.0.1 is refused, whatever it resolves to).
// A request that changes something must also come from the page's own origin (no other site
// open in the user's browser can post to it) and carry the token of this run, which the
// emulator prints with the page's address; so must the event stream, which shows the screen.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace tovarin::emulator::web {

// Requests larger than this are refused (413) before anything reads them.
inline constexpr size_t kMaxRequestBody = 16 * 1024;

// What the guard looks at in a request.
struct RequestFacts {
    std::string method;                 // "GET", "POST", ...
    std::optional<std::string> host;    // the Host header
    std::optional<std::string> origin;  // the Origin header
    std::optional<std::string> token;   // the token it carries (header or query)
    std::optional<std::string> content_type;
    size_t body_size = 0;
};

// What a route asks of its requests.
enum class Access {
    Open,         // the page and its files: Host only
    Read,         // the event stream: Host and token
    ChangeState,  // commands and input: Host, token, the page's origin and a JSON body
};

struct Refusal {
    int status = 0;  // a 4xx HTTP status
    std::string reason;
};

class RequestGuard {
  public:
    RequestGuard(uint16_t port, std::string token) : port_(port), token_(std::move(token)) {}

    // nullopt when the request may go on; else the answer it gets.
    std::optional<Refusal> Check(const RequestFacts& request, Access access) const;
    // Only the Host check.
    std::optional<Refusal> CheckHost(const std::optional<std::string>& host) const;
    // What every request is checked for once its headers are in and before its body is read: the
    // Host, and a declared length over kMaxRequestBody (413 at once: the body is never read, so
    // a client that declares megabytes and sends nothing gets its answer without a wait).
    std::optional<Refusal> CheckBeforeBody(const std::optional<std::string>& host,
                                           const std::optional<std::string>& content_length) const;

    const std::string& token() const { return token_; }

  private:
    uint16_t port_;
    std::string token_;
};

// A new token: 128 random bits from the kernel, as 32 hexadecimal digits.
std::string MakeRunToken();

// Compares in time independent of where the strings first differ.
bool SameSecret(const std::string& a, const std::string& b);

}  // namespace tovarin::emulator::web
