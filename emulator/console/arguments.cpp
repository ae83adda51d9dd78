#include "console/arguments.h"

#include "host/text.h"

namespace tovarin::emulator::console {

bool Arguments::TakeIf(std::string_view keyword) {
    if (!AtEnd() && !words_[pos_].quoted && words_[pos_].text == keyword) {
        ++pos_;
        return true;
    }
    return false;
}

const Word& Arguments::Take(std::string_view what) {
    if (AtEnd()) {
        throw Unparsable{"missing " + std::string(what)};
    }
    return words_[pos_++];
}

std::string Arguments::TakeKeyword(std::string_view what) {
    const Word& word = Take(what);
    if (word.quoted) {
        throw Unparsable{"expected " + std::string(what) + ", found \"" + word.text + "\""};
    }
    return word.text;
}

std::wstring Arguments::TakeText(std::string_view what) {
    return kernel::Utf8ToWide(Take(what).text);
}

std::wstring Arguments::TakeQuotedText(std::string_view what) {
    const Word& word = Take(what);
    if (!word.quoted) {
        throw Unparsable{"expected " + std::string(what) + " in quotes, found '" + word.text + "'"};
    }
    return kernel::Utf8ToWide(word.text);
}

uint64_t Arguments::TakeNumber(std::string_view what, uint64_t max) {
    const Word& word = Take(what);
    std::optional<uint64_t> value = word.quoted ? std::nullopt : ParseNumber(word.text, max);
    if (!value) {
        throw Unparsable{"'" + word.text + "' is not a valid " + std::string(what)};
    }
    return *value;
}

uint32_t Arguments::TakeDword(std::string_view what) {
    return static_cast<uint32_t>(TakeNumber(what, 0xFFFFFFFFu));
}

int64_t Arguments::TakeSigned(std::string_view what, int64_t min, int64_t max) {
    const Word& word = Take(what);
    std::optional<int64_t> value = word.quoted ? std::nullopt : ParseSignedNumber(word.text);
    if (!value || *value < min || *value > max) {
        throw Unparsable{"'" + word.text + "' is not a valid " + std::string(what)};
    }
    return *value;
}

ControlAddress Arguments::TakeControl() {
    const Word& word = Take("a control id (ID or ID/K)");
    std::optional<ControlAddress> address =
        word.quoted ? std::nullopt : ParseControlAddress(word.text);
    if (!address) {
        throw Unparsable{"'" + word.text + "' is not a control id (ID or ID/K)"};
    }
    return *address;
}

std::span<const Word> Arguments::TakeRest() {
    std::span<const Word> rest = words_.subspan(pos_);
    pos_ = words_.size();
    return rest;
}

void Arguments::ExpectEnd() const {
    if (!AtEnd()) {
        throw Unparsable{"unexpected '" + words_[pos_].text + "' at the end of the line"};
    }
}

}  // namespace tovarin::emulator::console
