// tovarin-soak: calls back to back on one booted phone in simulated time, the mix of call_mix.h
// taken in turn. After every CHECK calls it takes a census of the device's live objects
// (handles, device threads, windows, timers, registry keys and notifications, LocalAlloc blocks)
// and the process's resident memory: the census must be the one taken after the first round of
// the mix, and the memory must not grow past the first check by more than the slack.
//
//   tovarin-soak [--calls N] [--check-every CHECK] [--memory-slack-mb MB] [--verbose]
//
// Exits 0 when every call took its course and nothing grew, 1 otherwise, 2 on bad arguments.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "console/parser.h"
#include "console/session.h"
#include "host/live_objects.h"
#include "image/built_files.h"
#include "image/device_image.h"
#include "image/temporary_image.h"
#include "soak/call_mix.h"
#include "soak/resident_memory.h"

using namespace tovarin::emulator;
using tovarin::diagnostics::CountLiveObjects;
using tovarin::diagnostics::Describe;
using tovarin::diagnostics::LiveObjects;

namespace {

struct SoakOptions {
    uint64_t calls = 10000;
    uint64_t check_every = 1000;
    uint64_t memory_slack_mb = 8;
    bool verbose = false;
};

std::optional<SoakOptions> ParseOptions(int argc, char** argv) {
    SoakOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto number = [&](uint64_t* out) {
            if (i + 1 >= argc) {
                return false;
            }
            char* end = nullptr;
            *out = std::strtoull(argv[++i], &end, 10);
            return *end == '\0' && *out > 0;
        };
        if (arg == "--verbose") {
            options.verbose = true;
        } else if (!((arg == "--calls" && number(&options.calls)) ||
                     (arg == "--check-every" && number(&options.check_every)) ||
                     (arg == "--memory-slack-mb" && number(&options.memory_slack_mb)))) {
            return std::nullopt;
        }
    }
    return options;
}

std::vector<console::ParsedCommand> Parse(std::string_view name, std::string_view text) {
    console::TextLineSource lines{std::string(text)};
    console::CommandReader reader(lines);
    std::vector<console::ParsedCommand> commands;
    while (std::optional<console::ReadResult> next = reader.Next()) {
        if (auto* error = std::get_if<console::ParseError>(&*next)) {
            std::fprintf(stderr, "tovarin-soak: %.*s:%zu: %s\n", static_cast<int>(name.size()),
                         name.data(), error->line, error->reason.c_str());
            std::exit(2);
        }
        commands.push_back(std::move(std::get<console::ParsedCommand>(*next)));
    }
    return commands;
}

// Runs the commands; false after reporting the first one that failed.
bool Run(console::Session& session, std::string_view name, uint64_t call,
         const std::vector<console::ParsedCommand>& commands) {
    for (const console::ParsedCommand& command : commands) {
        console::Outcome outcome = session.Execute(command.command);
        if (!outcome.ok) {
            std::printf("call %llu (%.*s), line %zu failed: %s\n  %s\n",
                        static_cast<unsigned long long>(call), static_cast<int>(name.size()),
                        name.data(), command.line, command.text.c_str(), outcome.reason.c_str());
            for (const std::string& found : outcome.found) {
                std::printf("  found: %s\n", found.c_str());
            }
            return false;
        }
    }
    return true;
}

double Megabytes(uint64_t bytes) {
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
    const std::optional<SoakOptions> options = ParseOptions(argc, argv);
    if (!options) {
        std::fprintf(stderr,
                     "usage: tovarin-soak [--calls N] [--check-every N] [--memory-slack-mb MB] "
                     "[--verbose]\n");
        return 2;
    }
    const auto& mix = soak::CallMix();
    const std::vector<console::ParsedCommand> setup = Parse("setup", soak::kSetupScript);
    std::vector<std::vector<console::ParsedCommand>> calls;
    for (const soak::CallScript& script : mix) {
        calls.push_back(Parse(script.name, script.text));
    }

    TemporaryImage image;
    std::string error;
    PreparedImage prepared;
    if (!image.Make(&error) || !PrepareImage(image.root(), BuiltFiles(), &prepared, &error)) {
        std::fprintf(stderr, "tovarin-soak: the device image cannot be made: %s\n", error.c_str());
        return 1;
    }
    std::FILE* sink = options->verbose ? stdout : std::fopen("/dev/null", "w");
    console::Output output(sink);
    int status = 0;
    {
        console::Session session({image.root(), tovarin::kernel::ClockMode::Simulated}, output);
        if (!Run(session, "setup", 0, setup)) {
            return 1;
        }
        std::printf("after boot and setup: resident %.1f MB; %s\n",
                    Megabytes(soak::ResidentBytes()), Describe(CountLiveObjects()).c_str());
        const auto started = std::chrono::steady_clock::now();
        std::optional<LiveObjects> baseline;
        uint64_t first_resident = 0;
        uint64_t resident = 0;
        for (uint64_t call = 1; call <= options->calls; ++call) {
            const size_t which = (call - 1) % mix.size();
            if (!Run(session, mix[which].name, call, calls[which])) {
                status = 1;
                break;
            }
            if (call == mix.size()) {
                baseline = CountLiveObjects();  // every kind of call has run once
                std::printf("after the first round of %zu calls: %s\n", mix.size(),
                            Describe(*baseline).c_str());
            }
            if (call % options->check_every != 0 && call != options->calls) {
                continue;
            }
            const LiveObjects now = CountLiveObjects();
            resident = soak::ResidentBytes();
            if (first_resident == 0) {
                first_resident = resident;
            }
            const double seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
            std::printf("%llu calls, %.1f s: resident %.1f MB; %s\n",
                        static_cast<unsigned long long>(call), seconds, Megabytes(resident),
                        Describe(now).c_str());
            std::fflush(stdout);
            if (baseline && now != *baseline) {
                std::printf("live objects differ from the first round: %s\n",
                            Describe(*baseline).c_str());
                status = 1;
                break;
            }
            if (soak::kMemoryMeaningful &&
                resident > first_resident + options->memory_slack_mb * 1024 * 1024) {
                std::printf("resident memory grew from %.1f MB to %.1f MB (slack %llu MB)\n",
                            Megabytes(first_resident), Megabytes(resident),
                            static_cast<unsigned long long>(options->memory_slack_mb));
                status = 1;
                break;
            }
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        if (status == 0) {
            std::printf(
                "soak held: %llu calls in %.1f s of wall time (%.1f calls/s); resident memory "
                "%.1f MB at the first check, %.1f MB at the end\n",
                static_cast<unsigned long long>(options->calls), seconds,
                static_cast<double>(options->calls) / seconds, Megabytes(first_resident),
                Megabytes(resident));
            if (!soak::kMemoryMeaningful) {
                std::printf(
                    "resident memory not checked: AddressSanitizer's quarantine holds freed "
                    "memory\n");
            }
        }
    }
    if (sink != stdout) {
        std::fclose(sink);
    }
    return status;
}
