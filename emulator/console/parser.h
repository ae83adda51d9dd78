// The console grammar: lines of a script or of standard input become commands.
//
// One command a line; blank lines and lines starting with # are ignored. The one command that
// takes more than its line is `file write "PATH" <<WORD`: the lines after it, up to a line that
// is exactly WORD, are the file's content.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "console/commands.h"

namespace tovarin::emulator::console {

// Where console lines come from.
class LineSource {
  public:
    virtual ~LineSource() = default;
    // The next line without its line end (LF or CR LF); nullopt at the end of the input.
    virtual std::optional<std::string> NextLine() = 0;
};

// The lines of a text held in memory (a script file read whole).
class TextLineSource final : public LineSource {
  public:
    explicit TextLineSource(std::string text) : text_(std::move(text)) {}
    std::optional<std::string> NextLine() override;

  private:
    std::string text_;
    size_t pos_ = 0;
};

struct ParsedCommand {
    size_t line = 0;   // 1-based line number of the command's first line
    std::string text;  // that line as written
    Command command;
};

struct ParseError {
    size_t line = 0;
    std::string text;
    std::string reason;
};

using ReadResult = std::variant<ParsedCommand, ParseError>;

class CommandReader {
  public:
    explicit CommandReader(LineSource& source) : source_(source) {}

    // The next command, or the reason why the next line is not one; nullopt at the end.
    std::optional<ReadResult> Next();

  private:
    // Reads up to and including the line that is exactly end_word (or to the end).
    void SkipContent(const std::string& end_word);

    LineSource& source_;
    size_t line_number_ = 0;
};

// The command of one line, or why it is not one. A `file write` line gives its command with an
// empty content; *heredoc_end (when given) receives the word that ends its content.
std::variant<Command, std::string> ParseLine(std::string_view line,
                                             std::string* heredoc_end = nullptr);

}  // namespace tovarin::emulator::console
