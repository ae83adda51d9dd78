// Hives on the disk: round trips through a restart, debounced saving, atomic replacement, bad
// files set aside, and the volatile "\System\State" tree.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include <windows.h>

#include "kernel/registry/key_tree.h"
#include "kernel/registry/reg_text.h"
#include "kernel/registry/registry.h"
#include "kernel/registry/tests/temp_folder.h"

namespace tovarin::kernel::registry {
namespace {

using testing::ReadText;
using testing::TempFolder;
using testing::WriteText;

// Saves only when asked, so that the tests decide when the disk is written.
constexpr RegistryOptions kSaveOnFlushOnly{std::chrono::hours(1), std::chrono::hours(1)};

HKEY Create(Registry& registry, HKEY root, const wchar_t* path) {
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, registry.CreateKey(root, path, &key, nullptr)) << path;
    return key;
}

void SetDword(Registry& registry, HKEY key, const wchar_t* name, DWORD value) {
    EXPECT_EQ(ERROR_SUCCESS,
              registry.SetValue(key, name, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4));
}

void SetString(Registry& registry, HKEY key, const wchar_t* name, const std::wstring& text) {
    EXPECT_EQ(ERROR_SUCCESS,
              registry.SetValue(key, name, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))));
}

std::optional<DWORD> GetDword(Registry& registry, HKEY root, const wchar_t* path,
                              const wchar_t* name) {
    HKEY key = nullptr;
    if (registry.OpenKey(root, path, &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    DWORD value = 0, size = sizeof value, type = 0;
    LONG result = registry.QueryValue(key, name, &type, reinterpret_cast<BYTE*>(&value), &size);
    registry.CloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_DWORD) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::wstring> GetString(Registry& registry, HKEY root, const wchar_t* path,
                                      const wchar_t* name) {
    HKEY key = nullptr;
    if (registry.OpenKey(root, path, &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    wchar_t text[260] = {};
    DWORD size = sizeof text, type = 0;
    LONG result = registry.QueryValue(key, name, &type, reinterpret_cast<BYTE*>(text), &size);
    registry.CloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ) {
        return std::nullopt;
    }
    return std::wstring(text);
}

TEST(RegistryPersistenceTest, ValuesSurviveARestart) {
    TempFolder folder;
    {
        Registry registry(folder.path(), kSaveOnFlushOnly);
        HKEY key = Create(registry, HKEY_LOCAL_MACHINE, L"\\Software\\VarnholtCM\\AnswerMachine");
        SetDword(registry, key, L"Enable", 1);
        SetString(registry, key, L"SaveDir", L"\\My Documents\\Ответы \"1\"");
        registry.CloseKey(key);
        HKEY user = Create(registry, HKEY_CURRENT_USER, L"ControlPanel\\Backlight");
        SetDword(registry, user, L"BacklightOnTap", 1);
        registry.CloseKey(user);
    }  // the destructor saves
    EXPECT_NE(std::string::npos, ReadText(folder / "HKLM.reg").find("\"Enable\"=dword:00000001"));
    EXPECT_NE(std::string::npos,
              ReadText(folder / "HKCU.reg").find("[HKEY_CURRENT_USER\\ControlPanel\\Backlight]"));

    Registry reloaded(folder.path(), kSaveOnFlushOnly);
    EXPECT_TRUE(reloaded.LoadMessages().empty());
    EXPECT_EQ(1u, GetDword(reloaded, HKEY_LOCAL_MACHINE, L"software\\varnholtcm\\answermachine",
                           L"ENABLE"));
    EXPECT_EQ(L"\\My Documents\\Ответы \"1\"",
              GetString(reloaded, HKEY_LOCAL_MACHINE, L"Software\\VarnholtCM\\AnswerMachine",
                        L"SaveDir"));
    EXPECT_EQ(1u,
              GetDword(reloaded, HKEY_CURRENT_USER, L"ControlPanel\\Backlight", L"BacklightOnTap"));
}

TEST(RegistryPersistenceTest, ABurstOfWritesCostsOneSave) {
    TempFolder folder;
    Registry registry(folder.path(), kSaveOnFlushOnly);
    HKEY key = Create(registry, HKEY_LOCAL_MACHINE, L"Software\\Burst");
    for (DWORD i = 0; i < 100; ++i) {
        SetDword(registry, key, L"Counter", i);
    }
    EXPECT_EQ(0u, registry.SaveCount());
    EXPECT_FALSE(std::filesystem::exists(folder / "HKLM.reg"));

    EXPECT_TRUE(registry.Flush());
    EXPECT_EQ(1u, registry.SaveCount());  // one hive changed, one file written
    EXPECT_NE(std::string::npos, ReadText(folder / "HKLM.reg").find("dword:00000063"));

    EXPECT_TRUE(registry.Flush());
    EXPECT_EQ(1u, registry.SaveCount());  // nothing changed since

    SetDword(registry, key, L"Counter", 99);  // the same data again is no change
    EXPECT_TRUE(registry.Flush());
    EXPECT_EQ(1u, registry.SaveCount());

    HKEY user = Create(registry, HKEY_CURRENT_USER, L"Software\\Burst");
    SetDword(registry, user, L"Counter", 1);
    SetDword(registry, key, L"Counter", 2);
    EXPECT_TRUE(registry.Flush());
    EXPECT_EQ(3u, registry.SaveCount());
}

TEST(RegistryPersistenceTest, AQuietRegistrySavesWithoutBeingAsked) {
    TempFolder folder;
    Registry registry(folder.path(), {std::chrono::milliseconds(1), std::chrono::milliseconds(1)});
    HKEY key = Create(registry, HKEY_LOCAL_MACHINE, L"Software\\Quiet");
    SetDword(registry, key, L"Value", 5);
    // The saves run on the registry's host thread (the key may have been saved on its own
    // before the value); wait for the value to reach the disk, with a generous bound.
    const std::string expected = "\"Value\"=dword:00000005";
    for (int i = 0; i < 10000 && ReadText(folder / "HKLM.reg").find(expected) == std::string::npos;
         ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_NE(std::string::npos, ReadText(folder / "HKLM.reg").find(expected));
}

TEST(RegistryPersistenceTest, AReaderNeverSeesATornHive) {
    TempFolder folder;
    Registry registry(folder.path(), kSaveOnFlushOnly);
    HKEY key = Create(registry, HKEY_LOCAL_MACHINE, L"Software\\Torn");
    // A large value makes every save take many writes.
    std::vector<BYTE> ballast(16 * 1024, 0x5A);
    ASSERT_EQ(ERROR_SUCCESS, registry.SetValue(key, L"Ballast", REG_BINARY, ballast.data(),
                                               static_cast<DWORD>(ballast.size())));
    SetDword(registry, key, L"A", 0);
    SetDword(registry, key, L"B", 0);
    ASSERT_TRUE(registry.Flush());

    std::atomic<bool> done{false};
    std::atomic<int> reads{0};
    std::atomic<int> torn{0};
    std::thread reader([&] {
        auto check = [&] {
            KeyNode root;
            auto error = ParseHive(ReadText(folder / "HKLM.reg"), L"HKEY_LOCAL_MACHINE", root);
            const KeyNode* torn_key = FindPath(root, SplitKeyPath(L"Software\\Torn"));
            const RegValue* a = torn_key ? torn_key->FindValue(L"A") : nullptr;
            const RegValue* b = torn_key ? torn_key->FindValue(L"B") : nullptr;
            const RegValue* big = torn_key ? torn_key->FindValue(L"Ballast") : nullptr;
            if (error || !a || !b || !big || a->data != b->data || big->data.size() != 16 * 1024) {
                ++torn;
            }
            ++reads;
        };
        while (!done.load()) {
            check();
        }
        check();
    });
    for (DWORD i = 1; i <= 100; ++i) {
        SetDword(registry, key, L"A", i);
        SetDword(registry, key, L"B", i);
        ASSERT_TRUE(registry.Flush());
    }
    done = true;
    reader.join();
    EXPECT_EQ(101u, registry.SaveCount());
    EXPECT_GE(reads.load(), 1);
    EXPECT_EQ(0, torn.load()) << "of " << reads.load() << " reads";
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        EXPECT_FALSE(entry.path().filename().string().starts_with("HKLM.reg.tmp")) << entry.path();
    }
}

TEST(RegistryPersistenceTest, TwoWritersOfOneFolderNeverShareATemporaryFile) {
    TempFolder folder;
    Registry first(folder.path(), kSaveOnFlushOnly);
    Registry second(folder.path(), kSaveOnFlushOnly);
    std::atomic<int> failures{0};
    auto writer = [&](Registry& registry) {
        HKEY key = Create(registry, HKEY_LOCAL_MACHINE, L"Software\\Shared");
        for (DWORD i = 1; i <= 200; ++i) {
            SetDword(registry, key, L"Count", i);
            failures += registry.Flush() ? 0 : 1;
        }
        registry.CloseKey(key);
    };
    std::thread other([&] { writer(second); });
    writer(first);
    other.join();
    EXPECT_EQ(0, failures.load());
}

TEST(RegistryPersistenceTest, AFailedSaveIsTriedAgainUntilItSucceeds) {
    TempFolder folder;
    Registry registry(folder.path(), {std::chrono::milliseconds(1), std::chrono::milliseconds(5)});
    // A folder in the hive's place: the rename over it fails until it goes.
    std::filesystem::create_directories(folder / "HKLM.reg" / "in the way");
    HKEY key = Create(registry, HKEY_LOCAL_MACHINE, L"Software\\Retry");
    SetDword(registry, key, L"Value", 9);
    registry.CloseKey(key);
    EXPECT_FALSE(registry.Flush());
    std::filesystem::remove_all(folder / "HKLM.reg");
    // The retry runs on the registry's host thread; wait for it with a generous bound.
    const std::string expected = "\"Value\"=dword:00000009";
    for (int i = 0; i < 10000 && ReadText(folder / "HKLM.reg").find(expected) == std::string::npos;
         ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_NE(std::string::npos, ReadText(folder / "HKLM.reg").find(expected));
}

TEST(RegistryPersistenceTest, TemporaryFilesOfAnInterruptedSaveAreRemovedAtLoad) {
    TempFolder folder;
    WriteText(folder / "HKLM.reg", "Windows Registry Editor Version 5.00\n");
    WriteText(folder / "HKLM.reg.tmp", "half");
    WriteText(folder / "HKLM.reg.tmp.a1B2c3", "half");
    WriteText(folder / "HKCU.reg.tmp.Zz9yX8", "half");
    WriteText(folder / "HKLM.reg.tmp-notes", "a person's file");
    Registry registry(folder.path(), kSaveOnFlushOnly);
    EXPECT_FALSE(std::filesystem::exists(folder / "HKLM.reg.tmp"));
    EXPECT_FALSE(std::filesystem::exists(folder / "HKLM.reg.tmp.a1B2c3"));
    EXPECT_FALSE(std::filesystem::exists(folder / "HKCU.reg.tmp.Zz9yX8"));
    EXPECT_TRUE(std::filesystem::exists(folder / "HKLM.reg.tmp-notes"));
}

TEST(RegistryPersistenceTest, ABadHiveIsSetAsideAndItsRootStartsEmpty) {
    TempFolder folder;
    const std::string bad =
        "Windows Registry Editor Version 5.00\n"
        "[HKEY_LOCAL_MACHINE\\Software\\X]\n"
        "\"Broken\"=dword:zz\n";
    WriteText(folder / "HKLM.reg", bad);
    WriteText(folder / "HKCU.reg",
              "Windows Registry Editor Version 5.00\n"
              "[HKEY_CURRENT_USER\\ControlPanel\\Backlight]\n"
              "\"ACBacklightOnTap\"=dword:00000001\n");
    {
        Registry registry(folder.path(), kSaveOnFlushOnly);
        auto messages = registry.LoadMessages();
        ASSERT_EQ(1u, messages.size());
        EXPECT_NE(std::wstring::npos, messages[0].find(L"HKLM.reg, line 3")) << messages[0];
        EXPECT_NE(std::wstring::npos, messages[0].find(L"HKLM.reg.bad")) << messages[0];
        EXPECT_EQ(bad, ReadText(folder / "HKLM.reg.bad"));
        EXPECT_FALSE(std::filesystem::exists(folder / "HKLM.reg"));

        HKEY key = nullptr;
        EXPECT_EQ(ERROR_FILE_NOT_FOUND, registry.OpenKey(HKEY_LOCAL_MACHINE, L"Software\\X", &key));
        EXPECT_EQ(1u, GetDword(registry, HKEY_CURRENT_USER, L"ControlPanel\\Backlight",
                               L"ACBacklightOnTap"));

        SetDword(registry, Create(registry, HKEY_LOCAL_MACHINE, L"Software\\New"), L"N", 1);
        EXPECT_TRUE(registry.Flush());
        EXPECT_EQ(bad, ReadText(folder / "HKLM.reg.bad"));  // never overwritten
    }
    // A second bad file keeps the first one.
    WriteText(folder / "HKLM.reg", "garbage\n");
    Registry registry(folder.path(), kSaveOnFlushOnly);
    ASSERT_EQ(1u, registry.LoadMessages().size());
    EXPECT_NE(std::wstring::npos, registry.LoadMessages()[0].find(L"HKLM.reg.bad.2"));
    EXPECT_EQ(bad, ReadText(folder / "HKLM.reg.bad"));
    EXPECT_EQ("garbage\n", ReadText(folder / "HKLM.reg.bad.2"));
}

TEST(RegistryPersistenceTest, SystemStateIsNeverSaved) {
    TempFolder folder;
    {
        Registry registry(folder.path(), kSaveOnFlushOnly);
        HKEY phone = Create(registry, HKEY_LOCAL_MACHINE, L"\\System\\State\\Phone");
        SetDword(registry, phone, L"Status", 0x20000);
        HKEY user_state = Create(registry, HKEY_CURRENT_USER, L"system\\state\\Shell");
        SetDword(registry, user_state, L"Busy", 1);
        EXPECT_TRUE(registry.Flush());
        EXPECT_EQ(0u, registry.SaveCount());  // only volatile keys changed

        SetDword(registry, Create(registry, HKEY_LOCAL_MACHINE, L"System\\Kept"), L"K", 1);
        EXPECT_TRUE(registry.Flush());
        EXPECT_EQ(1u, registry.SaveCount());
    }
    const std::string text = ReadText(folder / "HKLM.reg");
    EXPECT_EQ(std::string::npos, text.find("State")) << text;
    EXPECT_FALSE(std::filesystem::exists(folder / "HKCU.reg"));

    Registry reloaded(folder.path(), kSaveOnFlushOnly);
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              reloaded.OpenKey(HKEY_LOCAL_MACHINE, L"System\\State\\Phone", &key));
    EXPECT_EQ(1u, GetDword(reloaded, HKEY_LOCAL_MACHINE, L"System\\Kept", L"K"));
}

TEST(RegistryPersistenceTest, AMemoryOnlyRegistryWritesNothing) {
    {
        Registry registry("", kSaveOnFlushOnly);
        SetDword(registry, Create(registry, HKEY_LOCAL_MACHINE, L"Software\\M"), L"M", 1);
        EXPECT_TRUE(registry.Flush());
        EXPECT_EQ(0u, registry.SaveCount());
    }
    // An empty folder must not turn into the working directory.
    EXPECT_FALSE(std::filesystem::exists("HKLM.reg"));
}

}  // namespace
}  // namespace tovarin::kernel::registry
