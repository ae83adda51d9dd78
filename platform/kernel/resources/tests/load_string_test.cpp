// LoadStringW over modules whose resources the build compiled from .rc scripts: StringsTest.dll
// (code and string tables in several languages, see strings_test.rc) and the resource-only
// tapres.dll and tapres.DLL.0419.mui, copied into a device image.
#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <windows.h>

#include "host/device.h"
#include "kernel/modules/modules.h"
#include "testing/temp_image.h"
#include "kernel/resources/res_image.h"
#include "kernel/resources/resource_finder.h"
#include "strings_test_ids.h"

namespace tovarin::kernel {
namespace {

class LoadStringTest : public ::testing::Test {
  protected:
    LoadStringTest() {
        for (const char* file : {"StringsTest.dll", "tapres.dll", "tapres.DLL.0419.mui"}) {
            std::filesystem::copy_file(std::filesystem::path(TEST_RESOURCE_MODULES_DIR) / file,
                                       image_.AddFolder("Windows") / file);
        }
        modules::RegisterPlatformBuiltins();
        strings_ = LoadLibraryW(L"StringsTest.dll");
    }
    ~LoadStringTest() override { modules::UnloadAll(); }

    // The whole string, read through a buffer larger than any of them.
    std::wstring Load(UINT id, HMODULE module = nullptr) {
        wchar_t buffer[256];
        std::wmemset(buffer, L'#', 256);
        const int length = LoadStringW(module ? module : strings_, id, buffer, 256);
        if (length <= 0) {
            ADD_FAILURE() << "no string " << id;
            return L"";
        }
        EXPECT_EQ(static_cast<size_t>(length), std::wcslen(buffer)) << "id " << id;
        return std::wstring(buffer, length);
    }

    testing::TempImage image_;
    Device device_{{.clock = ClockMode::Simulated, .image_root = image_.root()}};
    HMODULE strings_ = nullptr;
};

TEST_F(LoadStringTest, RussianTextsComeBackExactly) {
    ASSERT_NE(strings_, nullptr);
    EXPECT_EQ(Load(IDS_GREETING), L"Здравствуйте! Вас приветствует автоответчик.");
    EXPECT_EQ(Load(IDS_SECOND_BLOCK), L"Второй блок");
    EXPECT_EQ(Load(IDS_LAST_OF_BLOCK), L"Ёлка");
    EXPECT_EQ(Load(IDS_HIGHEST), L"Последняя");
    // A character outside the basic plane is one host character.
    EXPECT_EQ(Load(IDS_BEYOND_BMP), L"Ключ \U0001D11E");
}

TEST_F(LoadStringTest, ALongTextIsCutToTheBufferLessOneAndTerminated) {
    const std::wstring full = L"Абонент временно недоступен, оставьте сообщение после сигнала";
    wchar_t buffer[16];
    std::wmemset(buffer, L'#', 16);
    EXPECT_EQ(LoadStringW(strings_, IDS_LONG, buffer, 8), 7);
    EXPECT_EQ(std::wstring(buffer), full.substr(0, 7));
    EXPECT_EQ(buffer[8], L'#');  // nothing written past the given size

    // Exactly the text and its terminator fit; one less cuts the last character.
    std::vector<wchar_t> exact(full.size() + 1, L'#');
    EXPECT_EQ(LoadStringW(strings_, IDS_LONG, exact.data(), static_cast<int>(exact.size())),
              static_cast<int>(full.size()));
    EXPECT_EQ(std::wstring(exact.data()), full);
    EXPECT_EQ(LoadStringW(strings_, IDS_LONG, exact.data(), static_cast<int>(full.size())),
              static_cast<int>(full.size()) - 1);
    EXPECT_EQ(std::wstring(exact.data()), full.substr(0, full.size() - 1));

    // Room for the terminator only.
    buffer[0] = L'#';
    EXPECT_EQ(LoadStringW(strings_, IDS_LONG, buffer, 1), 0);
    EXPECT_EQ(buffer[0], L'\0');
}

TEST_F(LoadStringTest, AZeroSizedBufferReceivesAReadOnlyPointerToTheString) {
    const wchar_t* text = nullptr;
    const int length = LoadStringW(strings_, IDS_GREETING, reinterpret_cast<LPWSTR>(&text), 0);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::wstring(text, length), L"Здравствуйте! Вас приветствует автоответчик.");
    EXPECT_EQ(text[-1], static_cast<wchar_t>(length));  // the length precedes the text
    // Asked again, the same string is in the same place.
    const wchar_t* again = nullptr;
    LoadStringW(strings_, IDS_GREETING, reinterpret_cast<LPWSTR>(&again), 0);
    EXPECT_EQ(again, text);
}

TEST_F(LoadStringTest, MissingStringsFailWithResourceNameNotFound) {
    const UINT missing[] = {
        0,                          // an empty entry of a block that exists
        IDS_ONLY_IN_ENGLISH_BLOCK,  // the Russian block is chosen, and lacks it
        1000,                       // no block at all
        0x10000 + IDS_GREETING,     // past the 16-bit ids: not IDS_GREETING
    };
    for (UINT id : missing) {
        wchar_t buffer[32];
        buffer[0] = L'#';
        SetLastError(0);
        EXPECT_EQ(LoadStringW(strings_, id, buffer, 32), 0) << "id " << id;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND)) << id;
    }
}

TEST_F(LoadStringTest, TheInterfaceLanguageIsPreferredThenNeutralThenAny) {
    EXPECT_EQ(Load(IDS_IN_BOTH_LANGUAGES), L"Русский");
    EXPECT_EQ(Load(IDS_RUSSIAN_NEUTRAL), L"Русский без подъязыка");
    EXPECT_EQ(Load(IDS_NEUTRAL_OVER_ENGLISH), L"Нейтральный");
    EXPECT_EQ(Load(IDS_ENGLISH_ONLY), L"Only in English");
}

TEST_F(LoadStringTest, ModulesWithoutResourcesAndBadArguments) {
    wchar_t buffer[32];
    // The platform's built-in module has no resources; neither has the host program, which
    // NULL names on a thread of no device process.
    SetLastError(0);
    EXPECT_EQ(LoadStringW(GetModuleHandleW(L"coredll.dll"), 1, buffer, 32), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND));
    SetLastError(0);
    EXPECT_EQ(LoadStringW(nullptr, IDS_GREETING, buffer, 32), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND));
    SetLastError(0);
    EXPECT_EQ(LoadStringW(reinterpret_cast<HINSTANCE>(0x3FFF0000), 1, buffer, 32), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND));

    SetLastError(0);
    EXPECT_EQ(LoadStringW(strings_, IDS_GREETING, nullptr, 32), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    SetLastError(0);
    EXPECT_EQ(LoadStringW(strings_, IDS_GREETING, buffer, -1), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(LoadStringTest, ResourceOnlyModulesLoadAndGiveTheirStrings) {
    HMODULE library = LoadLibraryW(L"tapres.dll");
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(Load(100, library), L"Входящий вызов");
    EXPECT_EQ(Load(101, library), L"Ответить");

    HMODULE language_file = LoadLibraryW(L"\\Windows\\tapres.DLL.0419.mui");
    ASSERT_NE(language_file, nullptr);
    EXPECT_NE(language_file, library);
    EXPECT_EQ(Load(100, language_file), L"Входящий звонок");

    // Unloaded, its handle gives nothing.
    EXPECT_TRUE(FreeLibrary(library));
    wchar_t buffer[32];
    EXPECT_EQ(LoadStringW(library, 100, buffer, 32), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND));
}

TEST_F(LoadStringTest, TheCompiledImageHoldsEveryLanguageAndTheNamedResource) {
    using namespace resources;
    std::optional<std::vector<ResourceEntry>> entries =
        ParseResImage(modules::ResourcesOf(strings_));
    ASSERT_TRUE(entries.has_value());
    std::vector<uint16_t> languages_of_block_1;
    for (const ResourceEntry& entry : *entries) {
        if (SameResourceId(entry.type, kStringTableType) &&
            SameResourceId(entry.name, uint16_t{1})) {
            languages_of_block_1.push_back(entry.language);
        }
    }
    std::sort(languages_of_block_1.begin(), languages_of_block_1.end());
    EXPECT_EQ(languages_of_block_1, (std::vector<uint16_t>{0x0409, 0x0419}));

    const ResourceEntry* named = FindResourceEntry(*entries, uint16_t{10}, u"greetings");
    ASSERT_NE(named, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(named->data.data()), named->data.size()),
              "ab");
}

}  // namespace
}  // namespace tovarin::kernel
