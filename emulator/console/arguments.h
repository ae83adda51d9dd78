// The words of a console line after the keywords that name its command, read one at a time by the
// command's parser. Every Take... either consumes a word or gives up with the reason the line is
// not a command (Unparsable, thrown inside the parser only and turned into the line's error).
// Numbers follow the console's one rule (words.h): decimal or 0x-hexadecimal, a leading '-' where
// a number may be negative.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "console/ui_input.h"
#include "console/words.h"

namespace tovarin::emulator::console {

// Why a line is not a command.
struct Unparsable {
    std::string reason;
};

class Arguments {
  public:
    // `negated`: the line said "expect no ..." for a command that has that form.
    Arguments(std::span<const Word> words, bool negated) : words_(words), negated_(negated) {}

    bool negated() const { return negated_; }
    bool AtEnd() const { return pos_ >= words_.size(); }
    size_t Left() const { return words_.size() - pos_; }

    // Whether the next word is this (unquoted) keyword; consumes it when it is.
    bool TakeIf(std::string_view keyword);
    const Word& Take(std::string_view what);
    // An unquoted word.
    std::string TakeKeyword(std::string_view what);
    // Any word, as the device reads it.
    std::wstring TakeText(std::string_view what);
    // A word in quotes, as the device reads it.
    std::wstring TakeQuotedText(std::string_view what);
    // A number from 0 to max.
    uint64_t TakeNumber(std::string_view what, uint64_t max);
    uint32_t TakeDword(std::string_view what);
    // A number from min to max, with a leading '-' when it is negative.
    int64_t TakeSigned(std::string_view what, int64_t min, int64_t max);
    // ID or ID/K.
    ControlAddress TakeControl();
    // Every word left, consumed.
    std::span<const Word> TakeRest();
    // Fails when a word is left.
    void ExpectEnd() const;

  private:
    std::span<const Word> words_;
    size_t pos_ = 0;
    bool negated_ = false;
};

}  // namespace tovarin::emulator::console
