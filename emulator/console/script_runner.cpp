#include "console/script_runner.h"

#include <unistd.h>

#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <vector>

#include "console/input_reader.h"
#include "console/parser.h"
#include "console/session.h"
#include "image/build_config.h"
#include "image/built_files.h"
#include "image/device_image.h"
#include "image/image_lock.h"
#include "image/temporary_image.h"
#include "host/text.h"
#include "web/web_console.h"

namespace tovarin::emulator::console {

void ReportFailure(Output& output, const std::string& where, const std::string& line,
                   const Outcome& outcome) {
    output.Line(where + "failed: " + line);
    if (outcome.found.empty()) {
        output.Line("  " + outcome.reason);
        return;
    }
    bool first = true;
    for (const std::string& found : outcome.found) {
        output.Line((first ? "  found: " : "         ") + found);
        first = false;
    }
}

namespace {

// Holds the image at root for this emulator, then makes or updates it (only now, before any of
// its libraries is loaded); nullptr after reporting why it cannot be used.
std::unique_ptr<ImageLock> Prepare(const std::filesystem::path& root,
                                   const EmulatorOptions& options, Output& output,
                                   bool tell_when_made) {
    std::string error;
    std::unique_ptr<ImageLock> lock = ImageLock::Acquire(root, &error);
    if (!lock) {
        output.Line("tovarin-emu: the device image cannot be used: " + error);
        return nullptr;
    }
    std::vector<BuiltFile> files = BuiltFiles();
    for (const std::filesystem::path& install : options.installs) {
        files.push_back({kernel::Utf8ToWide(install.filename().string()), install});
    }
    PreparedImage prepared;
    if (!PrepareImage(root, files, &prepared, &error)) {
        output.Line("tovarin-emu: the device image cannot be used: " + error);
        return nullptr;
    }
    if (prepared.made && tell_when_made) {
        output.Line("tovarin-emu: made the device image " + root.string());
    }
    for (const std::filesystem::path& temporary : prepared.removed_temporaries) {
        output.Line("tovarin-emu: removed " + temporary.string() +
                    ", left by a save that did not finish");
    }
    return lock;
}

}  // namespace

int RunScript(const EmulatorOptions& options, Output& output) {
    const std::filesystem::path& script = *options.script;
    std::ifstream file(script, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    if (!file) {
        output.Line("tovarin-emu: cannot read the script " + script.string());
        return kExitUnusable;
    }

    // The whole script is parsed before the device boots, so that a mistyped line is reported
    // at once and not after a long run.
    std::vector<ParsedCommand> commands;
    TextLineSource lines(text.str());
    CommandReader reader(lines);
    while (std::optional<ReadResult> next = reader.Next()) {
        if (auto* error = std::get_if<ParseError>(&*next)) {
            output.Line(script.string() + ":" + std::to_string(error->line) +
                        ": cannot parse: " + error->text);
            output.Line("  " + error->reason);
            return kExitUnparsable;
        }
        commands.push_back(std::move(std::get<ParsedCommand>(*next)));
    }

    TemporaryImage temporary;
    std::filesystem::path root;
    if (options.device_dir) {
        root = *options.device_dir;
    } else {
        std::string error;
        if (!temporary.Make(&error)) {
            output.Line("tovarin-emu: " + error);
            return kExitUnusable;
        }
        root = temporary.root();
    }
    std::unique_ptr<ImageLock> image_lock =
        Prepare(root, options, output, options.device_dir.has_value());
    if (!image_lock) {
        return kExitUnusable;
    }

    // Ends before the temporary image is removed.
    Session::Settings settings{root, options.Clock()};
    settings.sip = options.sip;
    Session session(std::move(settings), output);
    size_t expectations = 0;
    for (const ParsedCommand& command : commands) {
        Outcome outcome = session.Execute(command.command);
        if (!outcome.ok) {
            ReportFailure(output, script.string() + ":" + std::to_string(command.line) + ": ",
                          command.text, outcome);
            return kExitFailed;
        }
        expectations += IsExpectation(command.command) ? 1 : 0;
    }
    output.Line(script.string() + ": " + std::to_string(commands.size()) + " commands done, " +
                std::to_string(expectations) + " expectations held");
    return kExitHeld;
}

int RunConsole(const EmulatorOptions& options, Output& output) {
    std::filesystem::path root = options.device_dir.value_or(kDefaultDeviceDir);
    std::unique_ptr<ImageLock> image_lock = Prepare(root, options, output, true);
    if (!image_lock) {
        return kExitUnusable;
    }
    ReadAheadLineSource lines(std::cin, output, isatty(0) != 0);
    Session::Settings settings{root, options.Clock()};
    settings.input_ended = [&lines] { return lines.Ended(); };
    settings.sip = options.sip;
    Session session(std::move(settings), output);
    // Ends before the session: the page's work runs on this thread, in the session.
    std::unique_ptr<web::WebConsole> page;
    if (options.web_port) {
        std::string error;
        page = web::WebConsole::Start(session, output, lines, *options.web_port, &error);
        if (!page) {
            output.Line("tovarin-emu: the web page cannot be served: " + error);
            return kExitUnusable;
        }
    }
    auto after_command = [&page] {
        if (page) {
            page->AfterCommand();
        }
    };
    if (options.no_boot) {
        output.Line("tovarin-emu: the phone on " + root.string() +
                    " is not booted: prepare it, then type boot. Ctrl-D ends.");
    } else {
        Outcome booted = session.Execute(BootCommand{});
        if (!booted.ok) {
            ReportFailure(output, "", "boot", booted);
            return kExitFailed;
        }
        after_command();
        output.Line("tovarin-emu: the phone is up on " + root.string() +
                    ". Type help for the commands; Ctrl-D ends.");
    }

    CommandReader reader(lines);
    while (std::optional<ReadResult> next = reader.Next()) {
        if (auto* error = std::get_if<ParseError>(&*next)) {
            output.Line("cannot parse: " + error->reason);
            continue;
        }
        const ParsedCommand& command = std::get<ParsedCommand>(*next);
        Outcome outcome = session.Execute(command.command);
        if (!outcome.ok) {
            ReportFailure(output, "", command.text, outcome);
        }
        after_command();
    }
    return kExitHeld;
}

}  // namespace tovarin::emulator::console
