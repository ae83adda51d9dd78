#include "console/script_runner.h"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <functional>
#include <iostream>
#include <optional>
#include <sstream>
#include <vector>

#include "console/input_reader.h"
#include "console/parser.h"
#include "console/session.h"
#include "exit_signals.h"
#include "image/build_config.h"
#include "image/built_files.h"
#include "image/device_image.h"
#include "image/image_lock.h"
#include "image/storage_cards.h"
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
    if (prepared.made) {
        const std::filesystem::path aside = SetAsideEarlierCards(root, &error);
        if (!aside.empty()) {
            output.Line("tovarin-emu: the removed cards of an earlier image at " + root.string() +
                        " are kept in " + aside.string() + ", not given to this one");
        } else if (!error.empty()) {
            output.Line("tovarin-emu: " + error);
        }
    }
    for (const std::filesystem::path& temporary : prepared.removed_temporaries) {
        output.Line("tovarin-emu: removed " + temporary.string() +
                    ", left by a save that did not finish");
    }
    return lock;
}

// "DIR/NAME.failure" for the script DIR/NAME.scn.
std::filesystem::path FailureFolderOf(const std::filesystem::path& script) {
    return script.parent_path() / (script.stem().string() + ".failure");
}

// Writes the evidence of a failure and names its files under the failure's report.
void ReportEvidence(Output& output, Session& session, const std::filesystem::path& folder) {
    std::string error;
    std::vector<std::filesystem::path> files = session.WriteFailureEvidence(folder, &error);
    std::string named;
    for (const std::filesystem::path& file : files) {
        named += (named.empty() ? "" : ", ") + file.string();
    }
    if (!named.empty()) {
        output.Line("  evidence: " + named);
    }
    if (!error.empty()) {
        output.Line("  evidence not kept: " + error);
    }
}

}  // namespace

std::string WithoutByteOrderMark(std::string text) {
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.erase(0, 3);
    }
    return text;
}

namespace {

// The script's commands, parsed whole; nullopt after saying why there are none (*status: the
// exit code of that).
std::optional<std::vector<ParsedCommand>> ReadScript(const std::filesystem::path& script,
                                                     Output& output, int* status) {
    std::ifstream file(script, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    if (!file) {
        output.Line("tovarin-emu: cannot read the script " + script.string());
        *status = kExitUnusable;
        return std::nullopt;
    }
    // The whole script is parsed before it runs, so that a mistyped line is reported at once and
    // not after a long run.
    std::vector<ParsedCommand> commands;
    TextLineSource lines(WithoutByteOrderMark(text.str()));
    CommandReader reader(lines);
    while (std::optional<ReadResult> next = reader.Next()) {
        if (auto* error = std::get_if<ParseError>(&*next)) {
            output.Line(script.string() + ":" + std::to_string(error->line) +
                        ": cannot parse: " + error->text);
            output.Line("  " + error->reason);
            *status = kExitUnparsable;
            return std::nullopt;
        }
        commands.push_back(std::move(std::get<ParsedCommand>(*next)));
    }
    return commands;
}

// Carries out the commands up to `quit` or the first that fails (reported with its line, and the
// evidence in `artifacts`); `between` comes before each command, and false from it stops there.
// Whether every command was done.
bool RunCommands(const std::vector<ParsedCommand>& commands, const std::filesystem::path& script,
                 const std::filesystem::path& artifacts, Session& session, Output& output,
                 const std::function<bool()>& between) {
    size_t expectations = 0;
    size_t done = 0;
    for (const ParsedCommand& command : commands) {
        if (std::holds_alternative<QuitCommand>(command.command) || !between()) {
            break;
        }
        ++done;
        Outcome outcome = session.Execute(command.command);
        if (!outcome.ok) {
            ReportFailure(output, script.string() + ":" + std::to_string(command.line) + ": ",
                          command.text, outcome);
            ReportEvidence(output, session, artifacts);
            return false;
        }
        expectations += IsExpectation(command.command) ? 1 : 0;
    }
    output.Line(script.string() + ": " + std::to_string(done) + " commands done, " +
                std::to_string(expectations) + " expectations held");
    return true;
}

}  // namespace

int RunScript(const EmulatorOptions& options, Output& output) {
    const std::filesystem::path& script = *options.script;
    int status = kExitHeld;
    std::optional<std::vector<ParsedCommand>> commands = ReadScript(script, output, &status);
    if (!commands) {
        return status;
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
    return RunCommands(*commands, script, options.artifacts.value_or(FailureFolderOf(script)),
                       session, output, [] { return true; })
               ? kExitHeld
               : kExitFailed;
}

namespace {

// `run FILE` in the console: the script's commands on the phone as it is, as --script carries
// them out (parsed whole first, up to the first failure, with its evidence), while the page shows
// that a script runs and takes no change; the page's reads are served between the commands.
int RunFromConsole(const std::string& file, const EmulatorOptions& options, Session& session,
                   Output& output, ReadAheadLineSource& lines, web::WebConsole* page,
                   const std::function<bool()>& interrupted) {
    const std::filesystem::path script = file;
    int status = kExitHeld;
    std::optional<std::vector<ParsedCommand>> commands = ReadScript(script, output, &status);
    if (!commands) {
        return status;
    }
    if (page) {
        page->ScriptRuns(script.filename().string());
    }
    const bool held =
        RunCommands(*commands, script, options.artifacts.value_or(FailureFolderOf(script)), session,
                    output, [&] {
                        lines.RunPosted();
                        if (page) {
                            page->AfterCommand();
                        }
                        if (interrupted()) {
                            output.Line(script.string() + ": interrupted");
                            return false;
                        }
                        return true;
                    });
    if (page) {
        page->ScriptRuns(std::nullopt);
    }
    return held ? kExitHeld : kExitFailed;
}

}  // namespace

int RunConsole(const EmulatorOptions& options, Output& output) {
    std::filesystem::path root = options.device_dir.value_or(kDefaultDeviceDir);
    std::unique_ptr<ImageLock> image_lock = Prepare(root, options, output, true);
    if (!image_lock) {
        return kExitUnusable;
    }
    ReadAheadLineSource lines(std::cin, isatty(0) != 0);
    // Ctrl-C ends the console as the end of its input does (the device shuts down and keeps its
    // clock and registry), cutting short a real-time wait; a second one ends it at once.
    auto interrupted = std::make_shared<std::atomic<bool>>(false);
    SetInterruptHandler([interrupted, stop = lines.Stopper(), &output] {
        output.Line("tovarin-emu: interrupted: the console ends (Ctrl-C again ends it at once)");
        *interrupted = true;
        stop();
    });
    struct InterruptScope {
        ~InterruptScope() { SetInterruptHandler(nullptr); }
    } interrupt_scope;
    Session::Settings settings{root, options.Clock()};
    settings.interrupted = [interrupted] { return interrupted->load(); };
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

    // As a script's: 1 when a command or an expectation failed, 2 when only lines did not parse.
    int status = kExitHeld;
    CommandReader reader(lines);
    while (std::optional<ReadResult> next = reader.Next()) {
        if (auto* error = std::get_if<ParseError>(&*next)) {
            output.Line("cannot parse: " + error->reason);
            status = status == kExitHeld ? kExitUnparsable : status;
            continue;
        }
        const ParsedCommand& command = std::get<ParsedCommand>(*next);
        if (std::holds_alternative<QuitCommand>(command.command)) {
            break;
        }
        if (const auto* run = std::get_if<RunCommand>(&command.command)) {
            const int ran = RunFromConsole(run->file, options, session, output, lines, page.get(),
                                           [interrupted] { return interrupted->load(); });
            status = ran == kExitHeld                                ? status
                     : ran == kExitUnparsable && status == kExitHeld ? kExitUnparsable
                                                                     : kExitFailed;
            after_command();
            continue;
        }
        const uint64_t started = web::DeviceNowMs();
        Outcome outcome = session.Execute(command.command);
        if (!outcome.ok) {
            ReportFailure(output, "", command.text, outcome);
            status = kExitFailed;
        }
        after_command();
        if (page) {
            page->AfterTyped(command, outcome, started);
        }
    }
    return status;
}

}  // namespace tovarin::emulator::console
