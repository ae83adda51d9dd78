// Checks of the shared names that can really go wrong: the source encoding of the Russian names,
// names that are built from other names, and names that must not collide.
#include <cwchar>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "common/names.h"

namespace {

std::u32string CodePoints(std::wstring_view text) {
    return {text.begin(), text.end()};
}

std::wstring Join(std::initializer_list<std::wstring_view> parts) {
    std::wstring joined;
    for (std::wstring_view part : parts) {
        if (!joined.empty()) {
            joined += L'\\';
        }
        joined += part;
    }
    return joined;
}

TEST(RussianNames, WindowTitlesAreTheExpectedCodePoints) {
    // A source file read in the wrong encoding would still compile, but no window would be found.
    EXPECT_EQ(CodePoints(kWindowTitleAnsweringRecorder),
              U"\u0410\u0432\u0442\u043E\u043E\u0442\u0432\u0435\u0442\u0447\u0438\u043A");
    EXPECT_EQ(CodePoints(kWindowTitleCallRecorder),
              U"\u0422\u0435\u043B\u0435\u0444\u043E\u043D\u043D\u044B\u0439 "
              U"\u0417\u0430\u043F\u0438\u0441\u0438");
}

TEST(RussianNames, FolderNamesAreTheExpectedCodePoints) {
    EXPECT_EQ(CodePoints(kFolderGreetings),
              U"\u041C\u043E\u0438 \u041F\u0440\u0438\u0432\u0435\u0442\u0441\u0442\u0432\u0438"
              U"\u044F");
    EXPECT_EQ(CodePoints(kFolderBackgroundSounds),
              U"\u041C\u043E\u0438 \u0424\u043E\u043D\u043E\u0432\u044B\u0435 "
              U"\u0417\u0432\u0443\u043A\u043E\u0432\u044B\u0435 "
              U"\u042D\u0444\u0444\u0435\u043A\u0442\u044B");
    EXPECT_EQ(CodePoints(kFolderAnswerMachineMessages),
              U"\u041C\u043E\u0439 \u0410\u0432\u0442\u043E\u043E\u0442\u0432\u0435\u0442\u0447"
              U"\u0438\u043A");
    EXPECT_EQ(CodePoints(kFolderCallRecordings),
              U"\u041C\u043E\u0438 \u0422\u0435\u043B\u0435\u0444\u043E\u043D\u043D\u044B\u0435 "
              U"\u0417\u0430\u043F\u0438\u0441\u0438");
}

TEST(RegistryPaths, SuiteKeysLieUnderTheSuiteRoot) {
    for (std::wstring_view key : {kKeyAnswerMachine, kKeyOverdub, kKeyCallisk, kKeyMySetting}) {
        SCOPED_TRACE(std::wstring(key));
        ASSERT_GT(key.size(), std::size(kKeyVarnholtCM));
        EXPECT_TRUE(key.starts_with(kKeyVarnholtCM));
        EXPECT_EQ(key[std::wstring_view(kKeyVarnholtCM).size()], L'\\');
    }
}

TEST(RegistryPaths, OnlyThePhoneControlPanelKeyHasNoLeadingBackslash) {
    for (std::wstring_view key :
         {kKeyVarnholtCM, kKeyAnswerMachine, kKeyOverdub, kKeyCallisk, kKeyMySetting,
          kKeyPhoneState, kKeyShellOverrides, kKeyBacklight}) {
        EXPECT_EQ(key.front(), L'\\') << std::wstring(key);
        EXPECT_NE(key.back(), L'\\') << std::wstring(key);
    }
    EXPECT_EQ(std::wstring_view(kKeyControlPanelPhone), L"ControlPanel\\Phone");
}

TEST(RegistryPaths, EffectSlotTablesRunFromUpToRight) {
    for (size_t slot = 0; slot < 4; ++slot) {
        const wchar_t digit = static_cast<wchar_t>(L'1' + slot);
        EXPECT_EQ(std::wstring_view(kValueEffectIndexBySlot[slot]).back(), digit);
        EXPECT_EQ(std::wstring_view(kValueEffectSaveDirBySlot[slot]).back(), digit);
        EXPECT_EQ(std::wstring_view(kValueEffectFileNameBySlot[slot]).back(), digit);
    }
}

TEST(NamedObjects, EventsAndQueuesNeverShareAName) {
    // Events and queues live in one namespace of the device: two equal names would make one
    // deliverable wake another by mistake.
    const std::vector<std::wstring_view> names = {kEventAnswerMachineService,
                                                  kEventPhoneRecordService,
                                                  kEventOverdubService,
                                                  kEventAnswerMachineTimer,
                                                  kEventAnswerMachineAnswerNow,
                                                  kEventRunningOxbane,
                                                  kEventEndOxbane,
                                                  kEventMonitorStorageCard,
                                                  kEventBackLightChange,
                                                  kQueueHardwareKeyLock,
                                                  kQueueRingToneHeadsetSpeakerState};
    for (size_t i = 0; i < names.size(); ++i) {
        for (size_t j = i + 1; j < names.size(); ++j) {
            EXPECT_NE(names[i], names[j]);
        }
    }
}

TEST(DerivedNames, ListFileTagsMatchTheElementsTheWriterCreates) {
    // The greeting manager writes elements through the document object; the answering service
    // searches the literal tags. Both must spell the same element names.
    EXPECT_EQ(std::wstring(kListTagPlayFileOpen), L"<" + std::wstring(kListElementPlayFile) + L">");
    EXPECT_EQ(std::wstring(kListTagPlayFileClose),
              L"</" + std::wstring(kListElementPlayFile) + L">");
    EXPECT_EQ(std::wstring(kListTagAnswerTimeOpen),
              L"<" + std::wstring(kListElementAnswerTime) + L">");
    EXPECT_EQ(std::wstring(kListTagAnswerTimeClose),
              L"</" + std::wstring(kListElementAnswerTime) + L">");
}

TEST(DerivedNames, PathsAreBuiltFromTheirFolders) {
    EXPECT_EQ(std::wstring(kListFilePath), Join({kFolderWindows, L"Quellbrooks.xml"}));
    EXPECT_EQ(std::wstring(kProgramQuellbrooks),
              Join({kFolderWindows, kProgramQuellbrooksFileName}));
    EXPECT_EQ(std::wstring(kFolderGreetingsSearchPattern),
              Join({kFolderMyDocuments, kFolderGreetings, L"*"}) + kSoundExtension);
    EXPECT_TRUE(std::wstring_view(kLibraryPhoneResources).starts_with(kFolderWindows));
}

TEST(DerivedNames, FormatsProduceTheNamesTheirReadersExpect) {
    wchar_t text[64];
    swprintf(text, std::size(text), kLibraryPhoneResourcesMuiFormat, 0x0419u);
    EXPECT_STREQ(text, L"\\Windows\\tapres.DLL.0419.mui");
    swprintf(text, std::size(text), kLibraryPhoneResourcesMuiFormat, 0x040Au);
    EXPECT_STREQ(text, L"\\Windows\\tapres.DLL.040a.mui");

    swprintf(text, std::size(text), kSoundRecordedGreetingFormat, 14, 5, 9);
    EXPECT_STREQ(text, L"gr140509.amr");
    swprintf(text, std::size(text), kSoundRecordedEffectFormat, 0, 0, 0);
    EXPECT_STREQ(text, L"od000000.amr");
}

TEST(Defaults, ControlPanelDefaultsNameBuiltInThings) {
    // The background default must be a sound that the device carries and the background list
    // offers; otherwise a first start previews a file that does not exist.
    bool found = false;
    for (const wchar_t* sound : kSoundBackgroundsInListOrder) {
        found = found || std::wstring_view(sound) == kDefaultOverdubFileName;
    }
    EXPECT_TRUE(found);
    EXPECT_EQ(std::wstring_view(kDefaultOverdubSaveDir), kFolderWindows);
    EXPECT_EQ(std::wstring_view(kDefaultCalliskSaveDir).find(L'\\'), std::wstring_view::npos);
    EXPECT_EQ(static_cast<int32_t>(kDefaultSystemVolume), -99);
}

}  // namespace
