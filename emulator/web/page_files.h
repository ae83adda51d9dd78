// The page's files (emulator/web/page/), built into tovarin-emu so that it serves them wherever
// it runs.
#pragma once

#include <span>
#include <string_view>

namespace tovarin::emulator::web {

struct PageFile {
    const char* path;  // as requested: "/", "/page.js", ...
    std::string_view content;
    const char* type;  // the Content-Type
};

std::span<const PageFile> PageFiles();

}  // namespace tovarin::emulator::web
