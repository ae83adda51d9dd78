// The control panel's loaders and writers: defaults for a missing key and for missing values,
// what a load keeps, and that what nobody edits is stored back as it was loaded. Also the title
// buffers, which cut their texts to their capacities.
#include <cstring>
#include <string>

#include "applet/applet.h"
#include "common/names.h"
#include "control_panel_fixture.h"
#include "settings/settings.h"

namespace marrowfen_testing {
namespace {

using SettingsTest = ControlPanelTest;

TEST_F(SettingsTest, AnsweringKeyMissingGivesTheDefaultsAndASaveCreatesAllNineValues) {
    memset(&g_answeringSettings, 0x5A, sizeof g_answeringSettings);
    EXPECT_EQ(0, LoadAnsweringSettings());
    EXPECT_EQ(0u, g_answeringSettings.QuellbrookEnable);
    EXPECT_EQ(0u, g_answeringSettings.Enable);
    EXPECT_EQ(0u, g_answeringSettings.RecordTime);
    EXPECT_EQ(0u, g_answeringSettings.ActiveTime);
    EXPECT_EQ(0u, g_answeringSettings.Index);
    EXPECT_STREQ(L"NONE", g_answeringSettings.SaveDir);
    EXPECT_STREQ(L"VR", g_answeringSettings.FileName);
    EXPECT_STREQ(L"", g_answeringSettings.GreetingSaveDir);
    EXPECT_STREQ(L"", g_answeringSettings.GreetingFilename);

    ASSERT_EQ(1, SaveAnsweringSettings());
    EXPECT_EQ(L"NONE", StoredString(kKeyAnswerMachine, kValueAnswerMachineSaveDir));
    EXPECT_EQ(L"VR", StoredString(kKeyAnswerMachine, kValueAnswerMachineFileName));
    EXPECT_EQ(L"", StoredString(kKeyAnswerMachine, kValueGreetingSaveDir));
    EXPECT_EQ(L"", StoredString(kKeyAnswerMachine, kValueGreetingFilename));
    for (LPCWSTR number : {kValueAnswerMachineEnable, kValueQuellbrookEnable, kValueRecordTime,
                           kValueActiveTime, kValueAnswerMachineIndex}) {
        EXPECT_EQ(0u, StoredDword(kKeyAnswerMachine, number)) << number;
    }
}

TEST_F(SettingsTest, AnsweringKeyWithoutSaveDirLoadsNoneAndEmptyStrings) {
    SetDword(kKeyAnswerMachine, kValueAnswerMachineEnable, 1);
    SetDword(kKeyAnswerMachine, kValueActiveTime, 2);
    SetString(kKeyAnswerMachine, kValueGreetingFilename, L"gr142530.amr");
    EXPECT_EQ(1, LoadAnsweringSettings());
    EXPECT_EQ(1u, g_answeringSettings.Enable);
    EXPECT_EQ(2u, g_answeringSettings.ActiveTime);
    EXPECT_EQ(0u, g_answeringSettings.QuellbrookEnable);
    EXPECT_STREQ(L"NONE", g_answeringSettings.SaveDir);
    EXPECT_STREQ(L"", g_answeringSettings.FileName) << "a missing value is empty, not \"VR\"";
    EXPECT_STREQ(L"gr142530.amr", g_answeringSettings.GreetingFilename);
}

TEST_F(SettingsTest, OverdubLoadKeepsWhatAMissingKeyOrValueDoesNotGive) {
    SetDword(kKeyOverdub, kValueOverdubEnable, 1);
    SetDword(kKeyOverdub, kValueBGGain, 7);
    SetDword(kKeyOverdub, kValueEnable2, 1);
    SetDword(kKeyOverdub, kValueBGGain2, 5);
    SetDword(kKeyOverdub, kValueBackgroundIndex3, 8);
    SetString(kKeyOverdub, kValueSaveDir4, L"\\Windows");
    SetString(kKeyOverdub, kValueFileName4, L"kiss.amr");
    SetString(kKeyOverdub, kValueSndFile, L"mix.amr");
    ASSERT_EQ(1, LoadOverdubSettings());
    EXPECT_EQ(7u, g_overdubSettings.BGGain);
    EXPECT_STREQ(L"mix.amr", g_overdubSettings.SndFile);

    // With the key there, a value it lacks keeps the record's.
    g_overdubSettings.BackgroundIndex1 = 3;
    ASSERT_EQ(1, LoadOverdubSettings());
    EXPECT_EQ(3u, g_overdubSettings.BackgroundIndex1);

    // Without the key: the key's defaults, and the effect settings of the first load.
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyW(HKEY_LOCAL_MACHINE, kKeyOverdub));
    EXPECT_EQ(0, LoadOverdubSettings());
    EXPECT_EQ(0u, g_overdubSettings.Enable);
    EXPECT_EQ(0u, g_overdubSettings.State);
    EXPECT_EQ(0u, g_overdubSettings.BackgroundIndex);
    EXPECT_EQ(2u, g_overdubSettings.BGGain);
    EXPECT_STREQ(L"\\Windows", g_overdubSettings.SaveDir);
    EXPECT_STREQ(L"Air.amr", g_overdubSettings.FileName);
    EXPECT_STREQ(L"", g_overdubSettings.SndFile);
    EXPECT_EQ(1u, g_overdubSettings.Enable2);
    EXPECT_EQ(5u, g_overdubSettings.BGGain2);
    EXPECT_EQ(8u, g_overdubSettings.BackgroundIndex3);
    EXPECT_STREQ(L"\\Windows", g_overdubSettings.SaveDir4);
    EXPECT_STREQ(L"kiss.amr", g_overdubSettings.FileName4);
}

TEST_F(SettingsTest, OverdubSaveStoresStateAndSndFileBackAsLoaded) {
    SetDword(kKeyOverdub, kValueOverdubState, 1);
    SetString(kKeyOverdub, kValueSndFile, L"\\My Documents\\смесь.amr");
    ASSERT_EQ(1, LoadOverdubSettings());
    g_overdubSettings.BackgroundIndex = 6;
    ASSERT_EQ(1, SaveOverdubSettings());
    EXPECT_EQ(1u, StoredDword(kKeyOverdub, kValueOverdubState));
    EXPECT_EQ(L"\\My Documents\\смесь.amr", StoredString(kKeyOverdub, kValueSndFile));
    EXPECT_EQ(6u, StoredDword(kKeyOverdub, kValueBackgroundIndex));
    EXPECT_EQ(L"", StoredString(kKeyOverdub, kValueFileName1));
}

TEST_F(SettingsTest, RecordingKeyMissingGivesTheBareFolderAndCk) {
    EXPECT_EQ(0, LoadRecordingSettings());
    EXPECT_EQ(0u, g_recordingSettings.Activate);
    EXPECT_STREQ(L"Мои Телефонные Записи", g_recordingSettings.SaveDir);
    EXPECT_STREQ(L"CK", g_recordingSettings.FileName);

    SetDword(kKeyCallisk, kValueActivate, 1);
    EXPECT_EQ(1, LoadRecordingSettings());
    EXPECT_EQ(1u, g_recordingSettings.Activate);
    EXPECT_STREQ(L"", g_recordingSettings.SaveDir);
    EXPECT_STREQ(L"", g_recordingSettings.FileName);
}

TEST_F(SettingsTest, TitlesAreCutToTheirBuffers) {
    LoadTitles();
    EXPECT_STREQ(L"Автоответчик", g_titleAnswering);
    EXPECT_STREQ(L"Фоновые Эффекты", g_titleOverdub);
    EXPECT_STREQ(L"Запись Разговор", g_titleRecording);
    EXPECT_STREQ(L"Настройки", g_titleCaption);
    EXPECT_STREQ(L"Tovarin", g_titleApplet);
    EXPECT_STREQ(L"Приветствие", g_titleGreeting);
    EXPECT_STREQ(L"Запись Приветст", g_titleGreetingSheet);
    EXPECT_STREQ(L"Установки Телеф", g_titlePhone);
}

}  // namespace
}  // namespace marrowfen_testing
