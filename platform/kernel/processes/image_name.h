// What CreateProcessW is asked to start: the image and the command line that WinMain gets, and
// the device paths where the image may lie.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tovarin::kernel::processes {

struct ProgramRequest {
    std::wstring image;         // as named: "Oxbane.exe", "oxbane", "\Windows\Oxbane.exe"
    std::wstring command_line;  // WinMain's: the arguments without the image
};

// The application name is the image and the command line is WinMain's as given (empty when
// NULL). Without an application name, the first token of the command line (in double quotes
// when it holds spaces) is the image and the rest, after the blanks that follow the token, is
// WinMain's command line. nullopt when no image is named at all.
std::optional<ProgramRequest> ReadProgramRequest(const wchar_t* application_name,
                                                 const wchar_t* command_line);

// The device paths to try for an image, in order. A name with a folder is that path (taken from
// "\" when relative) as written. A bare name gets ".exe" when it has no extension (a trailing
// dot means none and is dropped) and is looked for in "\Windows", then in "\".
std::vector<std::wstring> ImageCandidates(std::wstring_view image);

}  // namespace tovarin::kernel::processes
