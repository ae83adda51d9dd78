#include "console/ffmpeg_decode.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

extern char** environ;

namespace tovarin::emulator::console {

std::variant<long, std::string> FfmpegDurationMs(const std::string& ffmpeg,
                                                 const std::filesystem::path& file) {
    int pipe_ends[2];
    if (pipe2(pipe_ends, O_CLOEXEC) != 0) {
        return std::string("cannot run ffmpeg");
    }
    // The decoded samples come on standard output; errors go nowhere, as the expectation says
    // only whether it decodes.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    const std::string input = file.string();
    std::vector<std::string> arguments = {ffmpeg,  "-nostdin", "-v", "error", "-i",   input, "-f",
                                          "s16le", "-ac",      "1",  "-ar",   "8000", "-"};
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    pid_t child = 0;
    const int spawned =
        posix_spawnp(&child, ffmpeg.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipe_ends[1]);
    if (spawned != 0) {
        close(pipe_ends[0]);
        return std::string("cannot run ffmpeg");
    }
    char buffer[65536];
    long bytes = 0;
    for (;;) {
        const ssize_t n = read(pipe_ends[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        bytes += n;
    }
    close(pipe_ends[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || bytes == 0) {
        return std::string("ffmpeg cannot decode it");
    }
    return bytes / 16;
}

}  // namespace tovarin::emulator::console
