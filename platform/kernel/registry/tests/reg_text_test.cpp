// The .reg text form of a hive: exact round trips, the written layout, what the reader accepts
// and how it reports a faulty line.
#include <gtest/gtest.h>

#include <cstring>

#include <winreg.h>

#include "kernel/registry/key_tree.h"
#include "kernel/registry/reg_text.h"

namespace tovarin::kernel::registry {
namespace {

constexpr std::wstring_view kMachine = L"HKEY_LOCAL_MACHINE";

KeyNode* AddKey(KeyNode& root, std::wstring_view path) {
    KeyNode* node = &root;
    for (std::wstring_view part : SplitKeyPath(path)) {
        bool created = false;
        node = node->FindOrAddSubkey(part, &created);
    }
    return node;
}

std::vector<uint8_t> Bytes(std::initializer_list<uint8_t> bytes) {
    return bytes;
}

std::vector<uint8_t> WideBytes(std::wstring_view text, bool terminated = true) {
    std::vector<uint8_t> bytes((text.size() + (terminated ? 1 : 0)) * sizeof(wchar_t), 0);
    std::memcpy(bytes.data(), text.data(), text.size() * sizeof(wchar_t));
    return bytes;
}

std::vector<uint8_t> Dword(uint32_t value) {
    std::vector<uint8_t> bytes(4);
    std::memcpy(bytes.data(), &value, 4);
    return bytes;
}

void Put(KeyNode& key, std::wstring name, uint32_t type, std::vector<uint8_t> data) {
    key.values.push_back({std::move(name), type, std::move(data)});
}

// Same keys and values, in the same order, with the same spelling, types and bytes.
void ExpectSameTree(const KeyNode& expected, const KeyNode& actual, const std::wstring& where) {
    ASSERT_EQ(expected.values.size(), actual.values.size()) << "values of " << where.size();
    for (size_t i = 0; i < expected.values.size(); ++i) {
        const RegValue& want = expected.values[i];
        const RegValue& got = actual.values[i];
        EXPECT_EQ(want.name, got.name);
        EXPECT_EQ(want.type, got.type) << "type of value " << i;
        EXPECT_EQ(want.data, got.data) << "data of value " << i;
    }
    ASSERT_EQ(expected.subkeys.size(), actual.subkeys.size());
    for (size_t i = 0; i < expected.subkeys.size(); ++i) {
        EXPECT_EQ(expected.subkeys[i]->name, actual.subkeys[i]->name);
        ExpectSameTree(*expected.subkeys[i], *actual.subkeys[i],
                       where + L"\\" + expected.subkeys[i]->name);
    }
}

std::unique_ptr<KeyNode> RoundTrip(const KeyNode& root) {
    auto loaded = std::make_unique<KeyNode>();
    std::string text = FormatHive(root, kMachine, nullptr);
    auto error = ParseHive(text, kMachine, *loaded);
    EXPECT_FALSE(error) << "line " << error->line << ": " << error->message << "\n" << text;
    return loaded;
}

TEST(RegTextTest, EveryKindOfValueRoundTripsExactly) {
    KeyNode root;
    Put(root, L"AtRoot", REG_DWORD, Dword(7));
    KeyNode* key = AddKey(root, L"Software\\VarnholtCM\\Ответы");
    Put(*key, L"Путь", REG_SZ, WideBytes(L"\\My Documents\\Ответы \"новые\"\\"));
    Put(*key, L"", REG_SZ, WideBytes(L"default"));
    Put(*key, L"Name with \"quotes\" and \\", REG_DWORD, Dword(0xDEADBEEF));
    Put(*key, L"Empty", REG_SZ, WideBytes(L""));
    Put(*key, L"Blob", REG_BINARY, Bytes({0x00, 0x7F, 0xFF}));
    Put(*key, L"NoBytes", REG_BINARY, {});
    Put(*key, L"List", REG_MULTI_SZ, WideBytes(std::wstring(L"один\0two\0", 9)));
    Put(*key, L"Expand", REG_EXPAND_SZ, WideBytes(L"%windir%\\x"));
    Put(*key, L"Unterminated", REG_SZ, WideBytes(L"abc", false));
    Put(*key, L"Two lines", REG_SZ, WideBytes(L"first\r\nsecond"));
    Put(*key, L"Odd size", REG_SZ, Bytes({0x41, 0x00, 0x00}));
    Put(*key, L"Short dword", REG_DWORD, Bytes({0x01, 0x02}));
    Put(*key, L"Nothing", REG_NONE, Bytes({0x01}));
    AddKey(root, L"Software\\Empty key");
    AddKey(root, L"ControlPanel\\Backlight\\Ёлка]");

    ExpectSameTree(root, *RoundTrip(root), L"");
}

TEST(RegTextTest, WritesTheRegistryEditorLayout) {
    KeyNode root;
    KeyNode* key = AddKey(root, L"Software\\VarnholtCM\\My Setting");
    Put(*key, L"KeyPad Lock", REG_DWORD, Dword(10));
    Put(*key, L"", REG_SZ, WideBytes(L"Привет \"мир\" C:\\"));
    Put(*key, L"Raw", REG_BINARY, Bytes({0x01, 0xAB}));
    Put(*key, L"Multi", REG_MULTI_SZ, WideBytes(L""));

    const std::string expected =
        "Windows Registry Editor Version 5.00\n"
        "\n"
        "[HKEY_LOCAL_MACHINE\\Software]\n"
        "\n"
        "[HKEY_LOCAL_MACHINE\\Software\\VarnholtCM]\n"
        "\n"
        "[HKEY_LOCAL_MACHINE\\Software\\VarnholtCM\\My Setting]\n"
        "\"KeyPad Lock\"=dword:0000000a\n"
        "@=\"Привет \\\"мир\\\" C:\\\\\"\n"
        "\"Raw\"=hex:01,ab\n"
        "\"Multi\"=hex(7):00,00\n";  // as the registry editor writes it: UTF-16
    EXPECT_EQ(expected, FormatHive(root, kMachine, nullptr));
}

TEST(RegTextTest, LongHexDataWrapsOverContinuationLines) {
    KeyNode root;
    std::vector<uint8_t> blob(200);
    for (size_t i = 0; i < blob.size(); ++i) {
        blob[i] = static_cast<uint8_t>(i * 7);
    }
    Put(*AddKey(root, L"Data"), L"Blob", REG_BINARY, blob);

    std::string text = FormatHive(root, kMachine, nullptr);
    size_t longest = 0;
    size_t continued = 0;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        std::string_view line(text.data() + start, end - start);
        longest = std::max(longest, line.size());
        continued += !line.empty() && line.back() == '\\';
        start = end + 1;
    }
    EXPECT_LE(longest, 80u);
    EXPECT_GE(continued, 5u);
    ExpectSameTree(root, *RoundTrip(root), L"");
}

TEST(RegTextTest, ReaderAcceptsWhatPeopleAndOtherEditorsWrite) {
    const std::string text =
        "\xEF\xBB\xBF"
        "Windows Registry Editor Version 5.00\r\n"
        "\r\n"
        "; a comment\r\n"
        "[HKEY_LOCAL_MACHINE\\Software\\A]   \r\n"
        "\"Number\" = dword:FF\r\n"
        "\"Blob\"=hex:0A, 0b,\\\r\n"
        "   0C\r\n"
        "\"Multi\"=hex(7):41,00,00,00,00,00\r\n"
        "[hkey_local_machine\\software\\a]\r\n"
        "\"number\"=dword:00000002\r\n";
    KeyNode root;
    ASSERT_FALSE(ParseHive(text, kMachine, root));

    ASSERT_EQ(1u, root.subkeys.size());
    const KeyNode* key = FindPath(root, SplitKeyPath(L"SOFTWARE\\a"));
    ASSERT_NE(nullptr, key);
    EXPECT_EQ(L"A", key->name);  // the spelling of the first section
    ASSERT_EQ(3u, key->values.size());
    EXPECT_EQ(L"Number", key->values[0].name);
    EXPECT_EQ(Dword(2), key->values[0].data);  // the later section wins
    EXPECT_EQ(Bytes({0x0A, 0x0B, 0x0C}), key->values[1].data);
    EXPECT_EQ(static_cast<uint32_t>(REG_MULTI_SZ), key->values[2].type);
    EXPECT_EQ(WideBytes(std::wstring(L"A\0", 2)), key->values[2].data);
}

TEST(RegTextTest, ReadsTheRegistryEditorsUtf16Export) {
    const std::wstring text =
        L"Windows Registry Editor Version 5.00\r\n"
        L"\r\n"
        L"[HKEY_LOCAL_MACHINE\\Software\\Ёлка]\r\n"
        L"\"Имя\"=\"Значение 𝄞\"\r\n"
        // "%x%" and "Я𝄞" as UTF-16LE, "𝄞" (U+1D11E) as a surrogate pair.
        L"\"Path\"=hex(2):25,00,78,00,25,00,00,00\r\n"
        L"\"List\"=hex(7):2f,04,34,d8,1e,dd,00,00,00,00\r\n";
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text) {
        const auto code = static_cast<uint32_t>(c);
        auto unit = [&bytes](uint32_t u) {
            bytes += static_cast<char>(u & 0xFF);
            bytes += static_cast<char>(u >> 8);
        };
        if (code >= 0x10000) {
            unit(0xD800 + ((code - 0x10000) >> 10));
            unit(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            unit(code);
        }
    }
    KeyNode root;
    auto error = ParseHive(bytes, kMachine, root);
    ASSERT_FALSE(error) << error->line << ": " << error->message;
    const KeyNode* key = FindPath(root, SplitKeyPath(L"Software\\ёлка"));
    ASSERT_NE(nullptr, key);
    ASSERT_EQ(3u, key->values.size());
    EXPECT_EQ(L"Имя", key->values[0].name);
    EXPECT_EQ(WideBytes(L"Значение 𝄞"), key->values[0].data);
    EXPECT_EQ(static_cast<uint32_t>(REG_EXPAND_SZ), key->values[1].type);
    EXPECT_EQ(WideBytes(L"%x%"), key->values[1].data);
    EXPECT_EQ(WideBytes(std::wstring(L"Я𝄞\0", 3)), key->values[2].data);

    // Saved again, the strings are UTF-16 as the editor wrote them.
    const std::string saved = FormatHive(root, kMachine, nullptr);
    EXPECT_NE(std::string::npos, saved.find("\"Path\"=hex(2):25,00,78,00,25,00,00,00\n")) << saved;

    KeyNode broken;
    EXPECT_TRUE(ParseHive(std::string("\xFF\xFE\x00\xD8", 4), kMachine, broken));  // lone surrogate
}

struct BadHive {
    const char* text;
    size_t line;
    const char* message_part;
};

TEST(RegTextTest, FaultyFilesNameTheLineAndTheProblem) {
    const std::string header = "Windows Registry Editor Version 5.00\n\n";
    const BadHive cases[] = {
        {"REGEDIT4\n", 1, "must begin with"},
        {"", 1, "must begin with"},
        {"Windows Registry Editor Version 5.00\n\"A\"=dword:1\n", 2, "before the first [key]"},
        {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X]\n", 2, "HKEY_LOCAL_MACHINE"},
        {"Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\X\n", 2, "end with ']'"},
        {"Windows Registry Editor Version 5.00\n[-HKEY_LOCAL_MACHINE\\X]\n", 2, "delete keys"},
        {"Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\X]\n\"A\"=-\n", 3,
         "delete values"},
        {"Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\X]\n\"A=\"1\"\n", 3, "'='"},
        {"Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\X]\n\"A\"=\"open\n", 3,
         "not closed"},
        {"Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\X]\n\"A\"=\"c:\\x\"\n", 3,
         "backslash"},
        {"Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\X]\n\"A\"=dword:123456789\n",
         3, "dword"},
        {"Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\X]\n\"A\"=dword:xyz\n", 3,
         "dword"},
        {"Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\X]\n\n\"A\"=hex:1,zz\n", 4,
         "hex"},
        {"Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\X]\n\"A\"=hex:01,\n", 3,
         "comma"},
        {"Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\X]\n\"A\"=hex(q):01\n", 3,
         "hex(type)"},
        {"Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\X]\n\"A\"=\"x\" y\n", 3,
         "after the closing quote"},
        {"Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\X]\n\"A\"=text\n", 3,
         "quoted string, dword:"},
        {"Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\X]\nstray\n", 3,
         "expected a [key]"},
        {"Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\X]\n\"\xC3\x28\"=dword:1\n", 3,
         "UTF-8"},
        {"Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\1\\2\\3\\4\\5\\6\\7\\8\\9"
         "\\10\\11\\12\\13\\14\\15\\16\\17]\n",
         2, "16 levels"},
    };
    const std::string long_key = header + "[HKEY_LOCAL_MACHINE\\" + std::string(256, 'k') + "]\n";
    const std::string long_value =
        header + "[HKEY_LOCAL_MACHINE\\X]\n\"" + std::string(256, 'v') + "\"=dword:1\n";
    const BadHive too_long[] = {{long_key.c_str(), 3, "at most 255"},
                                {long_value.c_str(), 4, "at most 255"}};
    for (const BadHive& bad : too_long) {
        KeyNode root;
        auto error = ParseHive(bad.text, kMachine, root);
        ASSERT_TRUE(error);
        EXPECT_EQ(bad.line, error->line);
        EXPECT_NE(std::string::npos, error->message.find(bad.message_part)) << error->message;
    }
    // A zero byte makes names that no hive file could hold again.
    using namespace std::string_literals;
    for (const std::string& zero : {header + "[HKEY_LOCAL_MACHINE\\a\0b]\n"s,
                                    header + "[HKEY_LOCAL_MACHINE\\X]\n\"f\0\"=hex:\n"s}) {
        KeyNode root;
        auto error = ParseHive(zero, kMachine, root);
        ASSERT_TRUE(error);
        EXPECT_NE(std::string::npos, error->message.find("zero byte")) << error->message;
    }
    for (const BadHive& bad : cases) {
        KeyNode root;
        auto error = ParseHive(bad.text, kMachine, root);
        ASSERT_TRUE(error) << bad.text;
        EXPECT_EQ(bad.line, error->line) << bad.text;
        EXPECT_NE(std::string::npos, error->message.find(bad.message_part))
            << bad.text << " -> " << error->message;
    }
}

TEST(KeyTreeTest, AnyDepthOfTreeIsFreedWithoutRecursion) {
    // Deeper than any stack could follow one frame per level; only the limits keep real trees
    // shallow, so freeing must not depend on them.
    auto root = std::make_unique<KeyNode>();
    KeyNode* current = root.get();
    for (int level = 0; level < 200000; ++level) {
        bool created = false;
        current = current->FindOrAddSubkey(L"k", &created);
    }
    root.reset();
    SUCCEED();
}

TEST(KeyTreeTest, SubkeysAreFoundByNameWhateverTheCaseAndGoneWhenRemoved) {
    KeyNode root;
    bool created = false;
    for (int i = 0; i < 1000; ++i) {
        root.FindOrAddSubkey(L"Ключ" + std::to_wstring(i), &created);
    }
    KeyNode* found = root.FindSubkey(L"КЛЮЧ500");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->name, L"Ключ500");
    EXPECT_EQ(root.SharedSubkey(found).get(), found);
    root.RemoveSubkey(found);
    EXPECT_EQ(root.FindSubkey(L"ключ500"), nullptr);
    EXPECT_EQ(root.subkeys.size(), 999u);
    EXPECT_EQ(root.subkeys[500]->name, L"Ключ501");  // the order of the others stays
}

TEST(RegTextTest, SystemStateIsNeitherWrittenNorRead) {
    KeyNode root;
    Put(*AddKey(root, L"System\\State\\Phone"), L"Status", REG_DWORD, Dword(1));
    Put(*AddKey(root, L"System\\Other"), L"Kept", REG_DWORD, Dword(2));
    std::string text = FormatHive(root, kMachine, nullptr);
    EXPECT_EQ(std::string::npos, text.find("State")) << text;
    EXPECT_NE(std::string::npos, text.find("\"Kept\"")) << text;

    const std::string hand_written =
        "Windows Registry Editor Version 5.00\n"
        "[HKEY_LOCAL_MACHINE\\system\\STATE\\Phone]\n"
        "\"Status\"=dword:00000001\n"
        "[HKEY_LOCAL_MACHINE\\System\\Other]\n"
        "\"Kept\"=dword:00000002\n";
    KeyNode loaded;
    ASSERT_FALSE(ParseHive(hand_written, kMachine, loaded));
    EXPECT_EQ(nullptr, FindPath(loaded, SplitKeyPath(L"System\\State")));
    ASSERT_NE(nullptr, FindPath(loaded, SplitKeyPath(L"System\\Other")));
}

TEST(RegTextTest, NamesALineCannotCarryAreLeftOutAndReported) {
    KeyNode root;
    KeyNode* key = AddKey(root, L"Software");
    Put(*key, L"Good", REG_DWORD, Dword(1));
    Put(*key, L"Bad\nName", REG_DWORD, Dword(2));
    Put(*AddKey(root, L"Software\\Line\rBreak\\Below"), L"X", REG_DWORD, Dword(3));

    std::vector<std::wstring> skipped;
    std::string text = FormatHive(root, kMachine, &skipped);
    KeyNode loaded;
    ASSERT_FALSE(ParseHive(text, kMachine, loaded)) << text;
    const KeyNode* software = FindPath(loaded, SplitKeyPath(L"Software"));
    ASSERT_NE(nullptr, software);
    ASSERT_EQ(1u, software->values.size());
    EXPECT_EQ(L"Good", software->values[0].name);
    EXPECT_TRUE(software->subkeys.empty());
    ASSERT_EQ(2u, skipped.size());
    EXPECT_EQ(L"HKEY_LOCAL_MACHINE\\Software\\\"Bad\nName\"", skipped[0]);
    EXPECT_EQ(L"HKEY_LOCAL_MACHINE\\Software\\Line\rBreak", skipped[1]);
}

}  // namespace
}  // namespace tovarin::kernel::registry
