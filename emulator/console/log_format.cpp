#include "console/log_format.h"

#include <cinttypes>
#include <cstdio>

#include "host/text.h"

namespace tovarin::emulator::console {
namespace {

std::string Hex(uint64_t value, int digits) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%0*" PRIX64, digits, value);
    return text;
}

std::string TracePrefix(const kernel::TraceLine& line) {
    return line.module.empty() ? std::string() : kernel::WideToUtf8(line.module) + ": ";
}

struct Describer {
    std::string operator()(const kernel::TraceLine& line) const {
        std::string text = TracePrefix(line);
        bool first = true;
        for (const std::wstring& part : TraceTextLines(line.text)) {
            text += (first ? "" : " | ") + kernel::WideToUtf8(part);
            first = false;
        }
        return text;
    }
    std::string operator()(const kernel::IoctlRecord& call) const {
        std::string text = "ioctl " + kernel::WideToUtf8(call.device) + " " + Hex(call.code, 8);
        for (uint32_t word : call.InputWords()) {
            text += " " + Hex(word, 8);
        }
        return text;
    }
    std::string operator()(const kernel::KeyRecord& key) const {
        return "key " + Hex(key.vk, 2) + (key.up ? " up" : " down");
    }
    std::string operator()(const kernel::StartedRecord& started) const {
        std::string text = "started " + kernel::WideToUtf8(started.image);
        if (!started.command_line.empty()) {
            text += " \"" + kernel::WideToUtf8(started.command_line) + "\"";
        }
        return text;
    }
    std::string operator()(const kernel::MessageRecord& message) const {
        return std::string("message ") + Hex(message.message, 4) + " wParam " +
               Hex(message.wparam, 1) + " lParam " + Hex(static_cast<uint64_t>(message.lparam), 1) +
               (message.posted ? " posted to " : " sent to ") +
               kernel::WideToUtf8(message.window_class) + " \"" +
               kernel::WideToUtf8(message.window_title) + "\"";
    }
};

}  // namespace

std::string FormatDeviceTime(uint64_t tick_ms) {
    char text[40];
    std::snprintf(text, sizeof text, "[%5" PRIu64 ".%03" PRIu64 "]", tick_ms / 1000,
                  tick_ms % 1000);
    return text;
}

std::vector<std::wstring> TraceTextLines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of(L"\r\n", start);
        if (end == std::wstring::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        // One line end: CR LF, a lone LF or a lone CR.
        start =
            end + ((text[end] == L'\r' && end + 1 < text.size() && text[end + 1] == L'\n') ? 2 : 1);
    }
    if (lines.empty()) {
        lines.emplace_back();
    }
    return lines;
}

std::string DescribeEntry(const kernel::LogEntry& entry) {
    return std::visit(Describer{}, entry.what);
}

std::vector<std::string> PrintedLines(const kernel::LogEntry& entry) {
    std::string time = FormatDeviceTime(entry.tick_ms) + " ";
    std::vector<std::string> printed;
    if (const auto* trace = std::get_if<kernel::TraceLine>(&entry.what)) {
        for (const std::wstring& part : TraceTextLines(trace->text)) {
            printed.push_back(time + TracePrefix(*trace) + kernel::WideToUtf8(part));
        }
    } else {
        printed.push_back(time + "* " + DescribeEntry(entry));
    }
    return printed;
}

}  // namespace tovarin::emulator::console
