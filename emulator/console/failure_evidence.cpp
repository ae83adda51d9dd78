// What a failed script leaves behind: the screen, the foreground window's tree and the end of the
// trace, so that a failure in CI can be understood without running it again.
#include <fstream>

#include "console/session.h"
#include "host/screen_image.h"

namespace tovarin::emulator::console {
namespace {

bool WriteLines(const std::filesystem::path& file, const std::vector<std::string>& lines) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    for (const std::string& line : lines) {
        out << line << '\n';
    }
    out.close();
    return static_cast<bool>(out);
}

}  // namespace

std::vector<std::filesystem::path> Session::WriteFailureEvidence(
    const std::filesystem::path& folder, std::string* error) {
    std::vector<std::filesystem::path> written;
    std::error_code failed;
    std::filesystem::create_directories(folder, failed);
    if (failed) {
        *error = "cannot make " + folder.string() + ": " + failed.message();
        return written;
    }
    auto note = [error](const std::string& what) { *error += (error->empty() ? "" : "; ") + what; };
    // What an earlier failure left must not pass for this one's.
    for (const char* name : {"screen.png", "foreground.txt", "trace.txt"}) {
        std::filesystem::remove(folder / name, failed);
    }
    if (booted()) {
        const std::filesystem::path screen = folder / "screen.png";
        std::string screen_error;
        if (gwes::WriteScreenshot(screen.string(), &screen_error)) {
            written.push_back(screen);
        } else {
            note(screen_error);
        }
        std::vector<std::string> dump = ForegroundDump();
        if (dump.empty()) {
            dump.push_back("(no window is in the foreground)");
        }
        const std::filesystem::path foreground = folder / "foreground.txt";
        if (WriteLines(foreground, dump)) {
            written.push_back(foreground);
        } else {
            note("cannot write " + foreground.string());
        }
    }
    std::vector<std::string> trace;
    {
        std::lock_guard lock(recent_mutex_);
        trace.assign(recent_trace_.begin(), recent_trace_.end());
    }
    const std::filesystem::path trace_file = folder / "trace.txt";
    if (WriteLines(trace_file, trace)) {
        written.push_back(trace_file);
    } else {
        note("cannot write " + trace_file.string());
    }
    return written;
}

}  // namespace tovarin::emulator::console
