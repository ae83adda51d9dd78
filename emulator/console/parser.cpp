#include "console/parser.h"

#include "console/grammar.h"
#include "console/words.h"
#include "host/text.h"

namespace tovarin::emulator::console {
namespace {

std::string WithoutCarriageReturn(std::string line) {
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

}  // namespace

std::optional<std::string> TextLineSource::NextLine() {
    if (pos_ >= text_.size()) {
        return std::nullopt;
    }
    size_t end = text_.find('\n', pos_);
    if (end == std::string::npos) {
        end = text_.size();
    }
    std::string line = text_.substr(pos_, end - pos_);
    pos_ = end + 1;
    return WithoutCarriageReturn(std::move(line));
}

std::variant<Command, std::string> ParseLine(std::string_view line, std::string* heredoc_end) {
    SplitLine split = SplitWords(line);
    if (!split.error.empty()) {
        return split.error;
    }
    const std::span<const Word> words(split.words);
    FormMatch match = MatchForm(words);
    if (!match.form) {
        return match.reason;
    }
    try {
        Arguments arguments(words.subspan(match.keyword_count), match.negated);
        Command command = match.form->parse(arguments);
        arguments.ExpectEnd();
        if (const auto* write = std::get_if<FileWriteCommand>(&command); write && heredoc_end) {
            *heredoc_end = write->end_word;
        }
        return command;
    } catch (const Unparsable& failure) {
        return failure.reason;
    }
}

namespace {

// The end word of a `file write ... <<WORD` line that did not parse, or "" for any other line.
std::string HeredocEndOfBrokenFileWrite(std::string_view line) {
    SplitLine split = SplitWords(line);
    const std::vector<Word>& words = split.words;
    if (words.size() < 2 || words[0].quoted || words[0].text != "file" || words[1].quoted ||
        words[1].text != "write") {
        return "";
    }
    for (const Word& word : words) {
        if (!word.quoted && word.text.size() > 2 && word.text.compare(0, 2, "<<") == 0) {
            return word.text.substr(2);
        }
    }
    return "";
}

}  // namespace

void CommandReader::SkipContent(const std::string& end_word) {
    while (std::optional<std::string> line = source_.NextLine()) {
        ++line_number_;
        if (WithoutCarriageReturn(std::move(*line)) == end_word) {
            return;
        }
    }
}

std::optional<ReadResult> CommandReader::Next() {
    std::optional<std::string> line;
    do {
        line = source_.NextLine();
        if (!line) {
            return std::nullopt;
        }
        ++line_number_;
    } while (IsBlankOrComment(*line));

    std::string text = WithoutCarriageReturn(std::move(*line));
    size_t first_line = line_number_;
    std::string heredoc_end;
    auto parsed = ParseLine(text, &heredoc_end);
    if (auto* reason = std::get_if<std::string>(&parsed)) {
        // The content of a `file write` that cannot be carried out is still its content: it must
        // not run as commands.
        if (heredoc_end.empty()) {
            heredoc_end = HeredocEndOfBrokenFileWrite(text);
        }
        if (!heredoc_end.empty()) {
            SkipContent(heredoc_end);
        }
        return ParseError{first_line, text, *reason};
    }
    Command command = std::move(std::get<Command>(parsed));
    if (auto* write = std::get_if<FileWriteCommand>(&command)) {
        for (;;) {
            std::optional<std::string> body = source_.NextLine();
            if (!body) {
                return ParseError{first_line, text,
                                  "the file's content has no closing line '" + heredoc_end + "'"};
            }
            ++line_number_;
            std::string content_line = WithoutCarriageReturn(std::move(*body));
            if (content_line == heredoc_end) {
                break;
            }
            write->content += content_line;
            write->content += '\n';
        }
    }
    return ParsedCommand{first_line, std::move(text), std::move(command)};
}

}  // namespace tovarin::emulator::console
