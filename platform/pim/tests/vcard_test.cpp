// The contact store's vCard reader and writer.
#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "host/text.h"
#include "pim/vcard.h"

namespace tovarin::pim {
namespace {

std::vector<Contact> Parsed(const std::string& text) {
    auto parsed = ParseVCards(text);
    if (auto* error = std::get_if<VCardError>(&parsed)) {
        ADD_FAILURE() << "line " << error->line << ": " << error->reason;
        return {};
    }
    return std::get<std::vector<Contact>>(parsed);
}

VCardError Fault(const std::string& text) {
    auto parsed = ParseVCards(text);
    EXPECT_TRUE(std::holds_alternative<VCardError>(parsed)) << text;
    return std::holds_alternative<VCardError>(parsed) ? std::get<VCardError>(parsed) : VCardError{};
}

TEST(VCardTest, ReadsNamesAndTypedNumbersAsPeopleAndProgramsWriteThem) {
    const std::string text =
        "\xEF\xBB\xBF"
        "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Петрова;Анна;;;\r\n"
        "FN:Анна\r\n  Петрова\r\n"  // folded: the continuation's first space is the fold
        "item1.TEL;TYPE=WORK,VOICE:+7 495 123-45-67\r\n"
        "tel;type=\"cell\":+79125550123\r\n"
        "TEL;HOME:8 912 555-01-99\r\n"
        "TEL;TYPE=FAX:\r\n"
        // A quoted parameter value keeps its ':' and ';'.
        "TEL;X-LABEL=\"Office: desk 2; east\";TYPE=HOME:+7 495 000-00-02\r\n"
        "EMAIL:anna@example.org\r\nEND:VCARD\r\n"
        "\n"
        "begin:vcard\nversion:3.0\nfn:Борис\\, Иван\\; \\\\ младший\nTEL:101\nend:vcard\n";
    const std::vector<Contact> expected = {
        {L"Анна Петрова",
         {{L"+7 495 123-45-67", NumberType::Work},
          {L"+79125550123", NumberType::Mobile},
          {L"8 912 555-01-99", NumberType::Home},
          {L"+7 495 000-00-02", NumberType::Home}}},
        {L"Борис, Иван; \\ младший", {{L"101", NumberType::Other}}},
    };
    EXPECT_EQ(expected, Parsed(text));
    EXPECT_TRUE(Parsed("").empty());
}

TEST(VCardTest, RefusesAFaultyFileAtTheLineOfTheFault) {
    const std::string head = "BEGIN:VCARD\nVERSION:3.0\n";
    struct Case {
        std::string text;
        size_t line;
    } cases[] = {
        {head + "FN:A\nTEL 101\nEND:VCARD\n", 4},            // no colon
        {head + "FN:A\nFN:B\nEND:VCARD\n", 4},               // a second name
        {head + "TEL:101\nEND:VCARD\n", 4},                  // no name
        {"BEGIN:VCARD\nFN:A\nEND:VCARD\n", 3},               // no version
        {"BEGIN:VCARD\nVERSION:2.1\nFN:A\nEND:VCARD\n", 2},  // another version
        {head + "FN:A\n", 1},                                // no end
        {head + "FN:A\nBEGIN:VCARD\n", 4},                   // a card inside a card
        {"FN:A\n", 1},                                       // outside a card
        {head + "FN:\xC3\x28\nEND:VCARD\n", 3},              // not UTF-8
        {head + "FN:A\nEND:VCALENDAR\n", 4},
    };
    for (const Case& each : cases) {
        EXPECT_EQ(each.line, Fault(each.text).line) << each.text;
    }
}

TEST(VCardTest, WrittenCardsReadBackAndFoldWithoutSplittingACharacter) {
    const std::vector<Contact> contacts = {
        {L"Очень длинное имя контакта; с запятой, обратной чертой \\ и ещё словами",
         {{L"+79125550123", NumberType::Mobile}, {L"101", NumberType::Other}}},
        {L"Борис", {{L"8 912 555-01-99", NumberType::Home}, {L"+74951234567", NumberType::Work}}},
    };
    const std::string text = WriteVCards(contacts);
    EXPECT_EQ(contacts, Parsed(text));
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t end = text.find("\r\n", pos);
        ASSERT_NE(std::string::npos, end);
        const std::string line = text.substr(pos, end - pos);
        EXPECT_LE(line.size(), 75u) << line;
        EXPECT_EQ(line, kernel::WideToUtf8(kernel::Utf8ToWide(line))) << "a cut character";
        pos = end + 2;
    }
    EXPECT_NE(std::string::npos, text.find("TEL;TYPE=CELL:+79125550123\r\n"));
}

}  // namespace
}  // namespace tovarin::pim
