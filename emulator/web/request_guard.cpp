#include "web/request_guard.h"

#include <sys/random.h>

#include <algorithm>
#include <array>
#include <cctype>

namespace tovarin::emulator::web {
namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace

std::optional<Refusal> RequestGuard::CheckHost(const std::optional<std::string>& host) const {
    if (!host) {
        return Refusal{400, "the request names no Host"};
    }
    const std::string port = ":" + std::to_string(port_);
    const std::string name = Lower(*host);
    if (name != "127.0.0.1" + port && name != "localhost" + port) {
        return Refusal{421,
                       "this server answers only as 127.0.0.1" + port + " or localhost" + port};
    }
    return std::nullopt;
}

std::optional<Refusal> RequestGuard::CheckBeforeBody(
    const std::optional<std::string>& host,
    const std::optional<std::string>& content_length) const {
    if (auto refused = CheckHost(host)) {
        return refused;
    }
    if (!content_length) {
        return std::nullopt;
    }
    const std::string& declared = *content_length;
    if (declared.empty() || declared.find_first_not_of("0123456789") != std::string::npos) {
        return Refusal{400, "the request's Content-Length is not a number"};
    }
    // Past the bound's digit count the number is over the bound, however long it is.
    const std::string length =
        declared.substr(std::min(declared.find_first_not_of('0'), declared.size() - 1));
    const size_t digits = std::to_string(kMaxRequestBody).size();
    if (length.size() > digits || std::stoull(length) > kMaxRequestBody) {
        return Refusal{413,
                       "the request is larger than " + std::to_string(kMaxRequestBody) + " bytes"};
    }
    return std::nullopt;
}

std::optional<Refusal> RequestGuard::Check(const RequestFacts& request, Access access) const {
    if (auto refused = CheckHost(request.host)) {
        return refused;
    }
    if (request.body_size > kMaxRequestBody) {
        return Refusal{413,
                       "the request is larger than " + std::to_string(kMaxRequestBody) + " bytes"};
    }
    if (access == Access::Open) {
        return std::nullopt;
    }
    if (!request.token || !SameSecret(*request.token, token_)) {
        return Refusal{403,
                       "the request lacks this run's token: open the address tovarin-emu "
                       "printed"};
    }
    if (access == Access::Read) {
        return std::nullopt;
    }
    if (request.method != "POST") {
        return Refusal{405, "send it as POST"};
    }
    // The page's own origin is the host it was loaded from, as the browser names it.
    if (!request.origin || Lower(*request.origin) != "http://" + Lower(*request.host)) {
        return Refusal{403, "the request does not come from the page's own origin"};
    }
    const std::string type = Lower(request.content_type.value_or(""));
    if (type != "application/json" && !type.starts_with("application/json;")) {
        return Refusal{415, "send the request as application/json"};
    }
    return std::nullopt;
}

std::string MakeRunToken() {
    std::array<unsigned char, 16> bytes{};
    size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = getrandom(bytes.data() + got, bytes.size() - got, 0);
        if (n > 0) {
            got += static_cast<size_t>(n);
        }
    }
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string token;
    for (unsigned char byte : bytes) {
        token += kDigits[byte >> 4];
        token += kDigits[byte & 15];
    }
    return token;
}

bool SameSecret(const std::string& a, const std::string& b) {
    unsigned char differ = a.size() == b.size() ? 0 : 1;
    for (size_t i = 0; i < a.size(); ++i) {
        differ |= static_cast<unsigned char>(a[i] ^ b[i % std::max<size_t>(b.size(), 1)]);
    }
    return differ == 0 && !b.empty();
}

}  // namespace tovarin::emulator::web
