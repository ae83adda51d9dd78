// String table blocks and the choice among a resource's languages, over data built in the test.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "kernel/resources/resource_finder.h"
#include "kernel/resources/string_table.h"

namespace tovarin::kernel::resources {
namespace {

// A block as stored: for each entry, a count of UTF-16 units and the units.
std::vector<std::byte> Block(const std::vector<std::u16string>& entries) {
    std::vector<std::byte> bytes;
    auto put = [&bytes](char16_t unit) {
        bytes.push_back(static_cast<std::byte>(unit & 0xFF));
        bytes.push_back(static_cast<std::byte>(unit >> 8));
    };
    for (const std::u16string& entry : entries) {
        put(static_cast<char16_t>(entry.size()));
        for (char16_t unit : entry) {
            put(unit);
        }
    }
    return bytes;
}

std::vector<std::u16string> SixteenWith(size_t index, std::u16string text) {
    std::vector<std::u16string> entries(kStringsPerBlock);
    entries[index] = std::move(text);
    return entries;
}

TEST(StringTable, IdsMapToBlocksOfSixteen) {
    EXPECT_EQ(StringBlockOf(0), 1);
    EXPECT_EQ(StringBlockOf(15), 1);
    EXPECT_EQ(StringBlockOf(16), 2);
    EXPECT_EQ(StringBlockOf(1001), 63);
    EXPECT_EQ(StringBlockOf(0xFFFF), 4096);
    // Ids are 16-bit: a larger one must not fold onto a small one.
    EXPECT_FALSE(StringBlockOf(0x10001).has_value());
}

TEST(StringTable, EntriesAreFoundPastTheOnesBeforeThem) {
    std::vector<std::byte> block = Block({u"", u"один", u"", u"", u"", u"", u"", u"", u"", u"", u"",
                                          u"", u"", u"", u"", u"последний"});
    EXPECT_EQ(StringInBlock(block, 1), L"один");
    EXPECT_EQ(StringInBlock(block, 15), L"последний");
    EXPECT_EQ(StringInBlock(block, 0), L"");  // empty entries are empty, not damaged
    EXPECT_EQ(StringInBlock(block, 7), L"");
    EXPECT_FALSE(StringInBlock(block, 16).has_value());
}

TEST(StringTable, ABlockThatEndsEarlyGivesNothingPastItsEnd) {
    std::vector<std::byte> short_block = Block({u"a", u"bc"});
    EXPECT_EQ(StringInBlock(short_block, 1), L"bc");
    EXPECT_FALSE(StringInBlock(short_block, 2).has_value());

    // An entry whose count runs past the block.
    std::vector<std::byte> cut = Block({u"abcdef"});
    cut.resize(cut.size() - 2);
    EXPECT_FALSE(StringInBlock(cut, 0).has_value());

    // An odd trailing byte is not half a unit to read.
    std::vector<std::byte> odd = Block({u"ab"});
    odd.pop_back();
    EXPECT_FALSE(StringInBlock(odd, 0).has_value());
    EXPECT_FALSE(StringInBlock({}, 0).has_value());
}

TEST(StringTable, Utf16BecomesOneHostCharacterPerCodePoint) {
    const std::u16string clef = u"\U0001D11E";
    ASSERT_EQ(clef.size(), 2u);
    EXPECT_EQ(StringInBlock(Block(SixteenWith(3, u"Ключ " + clef)), 3), L"Ключ \U0001D11E");

    // Lone surrogates are replaced, and what follows them is kept.
    const std::u16string lone_high = {0xD834, u'x'};
    const std::u16string lone_low = {u'x', 0xDD1E};
    const std::u16string high_at_end = {u'x', 0xD834};
    EXPECT_EQ(StringInBlock(Block(SixteenWith(0, lone_high)), 0), L"\uFFFDx");
    EXPECT_EQ(StringInBlock(Block(SixteenWith(0, lone_low)), 0), L"x\uFFFD");
    EXPECT_EQ(StringInBlock(Block(SixteenWith(0, high_at_end)), 0), L"x\uFFFD");
}

class LanguageChoice : public ::testing::Test {
  protected:
    void Add(uint16_t language, ResourceId type = uint16_t{6}, ResourceId name = uint16_t{3}) {
        entries_.push_back({std::move(type), std::move(name), language, {}});
    }
    // The language of the entry chosen for string block 3.
    std::optional<uint16_t> Chosen(uint16_t wanted = kDeviceUiLanguage) const {
        const ResourceEntry* entry = FindResourceEntry(entries_, uint16_t{6}, uint16_t{3}, wanted);
        return entry ? std::optional<uint16_t>(entry->language) : std::nullopt;
    }
    std::vector<ResourceEntry> entries_;
};

TEST_F(LanguageChoice, TheInterfaceLanguageComesFirstThenItsFamilyThenNeutralThenAny) {
    Add(0x0409);  // English
    EXPECT_EQ(Chosen(), 0x0409);
    Add(0x0400);  // neutral, user default
    EXPECT_EQ(Chosen(), 0x0400);
    Add(0x0000);                  // neutral
    EXPECT_EQ(Chosen(), 0x0400);  // equally neutral: the first one wins
    Add(0x0019);                  // Russian without a sublanguage
    EXPECT_EQ(Chosen(), 0x0019);
    Add(0x0419);  // Russian
    EXPECT_EQ(Chosen(), 0x0419);
    EXPECT_EQ(Chosen(0x0409), 0x0409);
}

TEST_F(LanguageChoice, OnlyTheSameTypeAndNameCount) {
    Add(0x0419, uint16_t{6}, uint16_t{4});   // another block
    Add(0x0419, uint16_t{10}, uint16_t{3});  // another type
    Add(0x0419, uint16_t{6}, u"3");          // a name, not a number
    EXPECT_FALSE(Chosen().has_value());
    Add(0x0409);
    EXPECT_EQ(Chosen(), 0x0409);
}

}  // namespace
}  // namespace tovarin::kernel::resources
