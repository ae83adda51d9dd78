// tovarin-crash-test: kills a phone with SIGKILL in the middle of its saves, again and again, and
// checks what each kill leaves on the image: the registry hive and the greeting list parse, hold
// the generation that was being saved or the one before it (every value and every entry the same
// one: never a mix), are never empty, and no temporary file of a save is there for the device to
// see once the phone has started again.
//
//   tovarin-crash-test [--kills N] [--seed S] [--max-delay-ms MS]
//
// Each round starts the phone as the emulator does (the image is brought up to date, then the
// phone boots), waits for it to report that it is saving, lets it save for a random time of up
// to MS milliseconds and kills it. Exits 0 when every round held, 1 at the first that did not.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "crash/save_loop.h"
#include "image/save_temporaries.h"
#include "image/built_files.h"
#include "image/device_image.h"
#include "image/image_lock.h"
#include "image/temporary_image.h"
#include "host/saved_files.h"

using namespace tovarin::emulator;

namespace {

struct CrashOptions {
    uint64_t kills = 1000;
    uint64_t seed = 1;
    uint64_t max_delay_ms = 100;
};

std::optional<CrashOptions> ParseOptions(int argc, char** argv) {
    CrashOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc) {
            return std::nullopt;
        }
        char* end = nullptr;
        const uint64_t value = std::strtoull(argv[++i], &end, 10);
        if (*end != '\0') {
            return std::nullopt;
        }
        if (arg == "--kills" && value > 0) {
            options.kills = value;
        } else if (arg == "--seed") {
            options.seed = value;
        } else if (arg == "--max-delay-ms") {
            options.max_delay_ms = value;
        } else {
            return std::nullopt;
        }
    }
    return options;
}

std::optional<std::string> ReadFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The one generation that every value of the hive's test key carries; 0 without the key. Sets
// *problem when the file is empty, does not parse or mixes generations.
uint32_t HiveGeneration(const std::filesystem::path& file, std::string* problem) {
    const std::optional<std::string> text = ReadFile(file);
    if (!text) {
        return 0;  // no save has finished yet
    }
    if (text->empty()) {
        *problem = file.string() + " is empty";
        return 0;
    }
    std::string error;
    const auto key =
        tovarin::kernel::ReadHiveKey(*text, L"HKEY_LOCAL_MACHINE", crash::kGenerationKey, &error);
    if (!key) {
        if (!error.empty()) {
            *problem = file.string() + ":" + error;
        }
        return 0;
    }
    const auto generation = key->find(L"Generation");
    if (generation == key->end() || generation->second.size() != 4) {
        *problem = file.string() + ": the generation value is missing";
        return 0;
    }
    uint32_t number = 0;
    std::memcpy(&number, generation->second.data(), 4);
    const std::wstring expected = L"generation " + std::to_wstring(number) + L" ";
    for (int i = 0; i < crash::kValuesPerGeneration; ++i) {
        const auto value = key->find(L"Value " + std::to_wstring(i));
        const std::wstring text =
            value != key->end()
                ? std::wstring(reinterpret_cast<const wchar_t*>(value->second.data()),
                               value->second.size() / sizeof(wchar_t))
                : std::wstring();
        if (text.rfind(expected, 0) != 0) {
            *problem = file.string() + ": value " + std::to_string(i) + " is not of generation " +
                       std::to_string(number) + " (a mixed hive)";
            return 0;
        }
    }
    return number;
}

// The same for the greeting list: every entry's name "generation N" and file "grN.amr".
uint32_t ListGeneration(const std::filesystem::path& file, std::string* problem) {
    const std::optional<std::string> bytes = ReadFile(file);
    if (!bytes) {
        return 0;
    }
    if (bytes->empty()) {
        *problem = file.string() + " is empty";
        return 0;
    }
    pugi::xml_document document;
    if (!tovarin::com::xml::ReadDocumentFile(*bytes, document)) {
        *problem = file.string() + " is not a well-formed document";
        return 0;
    }
    std::optional<uint32_t> generation;
    int entries = 0;
    for (pugi::xml_node item : document.child("Quellbrooks").children("Item")) {
        const std::string name = item.child_value("ContactName");
        const uint32_t number = static_cast<uint32_t>(
            std::strtoul(name.c_str() + std::min<size_t>(11, name.size()), nullptr, 10));
        if (name.rfind("generation ", 0) != 0 ||
            item.child_value("PlayFile") != "gr" + std::to_string(number) + ".amr" ||
            (generation && *generation != number)) {
            *problem = file.string() + ": entry " + std::to_string(entries) +
                       " does not match the others (a mixed list)";
            return 0;
        }
        generation = number;
        ++entries;
    }
    if (entries != crash::kEntriesPerGeneration) {
        *problem = file.string() + ": " + std::to_string(entries) + " entries instead of " +
                   std::to_string(crash::kEntriesPerGeneration);
        return 0;
    }
    return *generation;
}

// Lines the child wrote, read until the pipe has none for timeout_ms (or is closed).
std::vector<std::string> ReadLines(int fd, std::string& pending, int timeout_ms) {
    std::vector<std::string> lines;
    for (;;) {
        pollfd ready{fd, POLLIN, 0};
        if (::poll(&ready, 1, timeout_ms) <= 0) {
            return lines;
        }
        char buffer[4096];
        const ssize_t got = ::read(fd, buffer, sizeof(buffer));
        if (got <= 0) {
            return lines;
        }
        pending.append(buffer, static_cast<size_t>(got));
        for (size_t end; (end = pending.find('\n')) != std::string::npos;) {
            lines.push_back(pending.substr(0, end));
            pending.erase(0, end + 1);
        }
        if (!lines.empty() && timeout_ms > 0) {
            return lines;
        }
    }
}

// The writer: brought up as the emulator starts (image first, then the boot). It reports
// temporaries that the device would see before it saves anything.
[[noreturn]] void RunChild(const std::filesystem::path& root, int report) {
    PreparedImage prepared;
    std::string error;
    std::unique_ptr<ImageLock> lock = ImageLock::Acquire(root, &error);
    if (!lock || !PrepareImage(root, BuiltFiles(), &prepared, &error)) {
        const std::string line = "image failed: " + error + "\n";
        (void)!::write(report, line.data(), line.size());
        ::_exit(4);
    }
    for (const std::filesystem::path& left : FindSaveTemporaries(root)) {
        const std::string line = "temporary " + left.string() + "\n";
        (void)!::write(report, line.data(), line.size());
    }
    ::_exit(crash::RunSaveLoop(root, report));  // the lock ends with the process
}

}  // namespace

int main(int argc, char** argv) {
    const std::optional<CrashOptions> options = ParseOptions(argc, argv);
    if (!options) {
        std::fprintf(stderr,
                     "usage: tovarin-crash-test [--kills N] [--seed S] [--max-delay-ms MS]\n");
        return 2;
    }
    TemporaryImage image;
    std::string error;
    if (!image.Make(&error)) {
        std::fprintf(stderr, "tovarin-crash-test: %s\n", error.c_str());
        return 1;
    }
    const std::filesystem::path hive = image.root() / "registry" / "HKLM.reg";
    const std::filesystem::path list = image.root() / "Windows" / "Quellbrooks.xml";
    std::mt19937_64 random(options->seed);
    std::uniform_int_distribution<uint64_t> delay(0, options->max_delay_ms * 1000);

    uint32_t hive_seen = 0;
    uint32_t list_seen = 0;
    uint64_t left_temporaries = 0;
    uint64_t hive_new = 0;
    uint64_t list_new = 0;
    const auto started = std::chrono::steady_clock::now();
    for (uint64_t round = 1; round <= options->kills; ++round) {
        int pipe_fds[2];
        if (::pipe2(pipe_fds, O_CLOEXEC) != 0) {
            std::perror("pipe");
            return 1;
        }
        std::fflush(nullptr);
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(pipe_fds[0]);
            RunChild(image.root(), pipe_fds[1]);
        }
        ::close(pipe_fds[1]);
        std::string pending;
        std::optional<uint32_t> booted;
        uint32_t announced = 0;
        std::string failure;
        // Up to 60 s for the image and the boot.
        for (int waited = 0; !booted && failure.empty() && waited < 60; ++waited) {
            for (const std::string& line : ReadLines(pipe_fds[0], pending, 1000)) {
                if (line.rfind("ready ", 0) == 0) {
                    booted = announced = static_cast<uint32_t>(std::stoul(line.substr(6)));
                } else if (booted && !line.empty() &&
                           std::isdigit(static_cast<unsigned char>(line[0]))) {
                    announced = static_cast<uint32_t>(std::stoul(line));
                } else if (failure.empty()) {
                    failure = line;
                }
            }
        }
        if (booted && failure.empty()) {
            std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        }
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        for (const std::string& line : ReadLines(pipe_fds[0], pending, 0)) {
            if (!line.empty() && std::isdigit(static_cast<unsigned char>(line[0]))) {
                announced = static_cast<uint32_t>(std::stoul(line));
            }
        }
        ::close(pipe_fds[0]);
        if (!booted && failure.empty()) {
            failure = "the phone did not start (exit status " + std::to_string(status) + ")";
        }
        std::string problem;
        const uint32_t in_hive = failure.empty() ? HiveGeneration(hive, &problem) : 0;
        const uint32_t in_list =
            problem.empty() && failure.empty() ? ListGeneration(list, &problem) : 0;
        if (failure.empty() && problem.empty()) {
            // The hive is saved before the list, each generation after the one before.
            const uint32_t oldest = announced == 0 ? 0 : announced - 1;
            if (in_hive < std::max(oldest, hive_seen) || in_hive > announced) {
                problem = "the hive holds generation " + std::to_string(in_hive) +
                          ", not the one being saved (" + std::to_string(announced) +
                          ") nor the one before";
            } else if (in_list > in_hive ||
                       (in_list != list_seen && (in_list < list_seen || in_list < oldest))) {
                // A kill between the two saves leaves the list behind the hive, and the next
                // phone starts from the hive: the list then holds what it held before.
                problem = "the list holds generation " + std::to_string(in_list) +
                          ", neither what it held before (" + std::to_string(list_seen) +
                          ") nor the one being saved (" + std::to_string(announced) +
                          ") or the one before";
            }
        }
        if (!failure.empty() || !problem.empty()) {
            std::printf("round %llu failed: %s\n", static_cast<unsigned long long>(round),
                        (failure.empty() ? problem : failure).c_str());
            return 1;
        }
        hive_new += in_hive == announced ? 1 : 0;
        list_new += in_list == announced ? 1 : 0;
        hive_seen = in_hive;
        list_seen = in_list;
        // Removed by the next start (which fails the round when it does not).
        left_temporaries += FindSaveTemporaries(image.root()).empty() ? 0 : 1;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("crash test held: %llu kills in %.1f s, %u generations saved\n",
                static_cast<unsigned long long>(options->kills), seconds, hive_seen);
    std::printf(
        "  the hive held the generation being saved after %llu kills, the one before after "
        "%llu; the list %llu and %llu\n",
        static_cast<unsigned long long>(hive_new),
        static_cast<unsigned long long>(options->kills - hive_new),
        static_cast<unsigned long long>(list_new),
        static_cast<unsigned long long>(options->kills - list_new));
    std::printf("  %llu kills left a temporary file, which the next start removed\n",
                static_cast<unsigned long long>(left_temporaries));
    return 0;
}
