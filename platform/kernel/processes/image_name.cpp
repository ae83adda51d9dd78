#include "kernel/processes/image_name.h"

namespace tovarin::kernel::processes {
namespace {

constexpr std::wstring_view kBlanks = L" \t";

std::wstring_view SkipBlanks(std::wstring_view text) {
    const size_t first = text.find_first_not_of(kBlanks);
    return first == text.npos ? std::wstring_view() : text.substr(first);
}

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

}  // namespace

std::optional<ProgramRequest> ReadProgramRequest(const wchar_t* application_name,
                                                 const wchar_t* command_line) {
    if (application_name) {
        if (*application_name == L'\0') {
            return std::nullopt;
        }
        return ProgramRequest{application_name, command_line ? command_line : L""};
    }
    if (!command_line) {
        return std::nullopt;
    }
    std::wstring_view rest = SkipBlanks(command_line);
    std::wstring_view image;
    if (rest.starts_with(L'"')) {
        rest.remove_prefix(1);
        const size_t quote = rest.find(L'"');
        image = rest.substr(0, quote);
        rest = quote == rest.npos ? std::wstring_view() : rest.substr(quote + 1);
    } else {
        const size_t blank = rest.find_first_of(kBlanks);
        image = rest.substr(0, blank);
        rest = blank == rest.npos ? std::wstring_view() : rest.substr(blank);
    }
    if (image.empty()) {
        return std::nullopt;
    }
    return ProgramRequest{std::wstring(image), std::wstring(SkipBlanks(rest))};
}

std::vector<std::wstring> ImageCandidates(std::wstring_view image) {
    if (image.empty()) {
        return {};
    }
    if (image.find_first_of(L"\\/") != image.npos) {
        return {IsSeparator(image.front()) ? std::wstring(image) : L"\\" + std::wstring(image)};
    }
    std::wstring file_name(image);
    if (file_name.back() == L'.') {
        file_name.pop_back();
    } else if (file_name.find(L'.') == file_name.npos) {
        file_name += L".exe";
    }
    if (file_name.empty()) {
        return {};
    }
    return {L"\\Windows\\" + file_name, L"\\" + file_name};
}

}  // namespace tovarin::kernel::processes
