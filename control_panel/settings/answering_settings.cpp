// Loader and writer of "\Software\VarnholtCM\AnswerMachine" for the answering-machine page.
#include <string.h>
#include <wchar.h>

#include <windows.h>
#include <strsafe.h>

#include "common/names.h"
#include "settings/settings.h"

AnsweringPageSettings g_answeringSettings;

int LoadAnsweringSettings() {
    AnsweringPageSettings& settings = g_answeringSettings;
    memset(&settings, 0, sizeof settings);
    HKEY key = OpenSettingsKey(kKeyAnswerMachine);
    if (key == NULL) {
        StringCchCopyW(settings.SaveDir, kPathChars, kDefaultAnswerMachineSaveDir);
        StringCchCopyW(settings.FileName, kPathChars, kDefaultAnswerMachineFileName);
        return 0;
    }
    ReadSettingsDword(key, kValueQuellbrookEnable, &settings.QuellbrookEnable);
    ReadSettingsDword(key, kValueAnswerMachineEnable, &settings.Enable);
    ReadSettingsDword(key, kValueRecordTime, &settings.RecordTime);
    ReadSettingsDword(key, kValueActiveTime, &settings.ActiveTime);
    ReadSettingsDword(key, kValueAnswerMachineIndex, &settings.Index);
    if (!ReadSettingsString(key, kValueAnswerMachineSaveDir, settings.SaveDir)) {
        StringCchCopyW(settings.SaveDir, kPathChars, kDefaultAnswerMachineSaveDir);
    }
    ReadSettingsString(key, kValueAnswerMachineFileName, settings.FileName);
    ReadSettingsString(key, kValueGreetingSaveDir, settings.GreetingSaveDir);
    ReadSettingsString(key, kValueGreetingFilename, settings.GreetingFilename);
    RegCloseKey(key);
    return 1;
}

int SaveAnsweringSettings() {
    const AnsweringPageSettings& settings = g_answeringSettings;
    HKEY key = CreateSettingsKey(kKeyAnswerMachine);
    if (key == NULL) {
        return 0;
    }
    WriteSettingsDword(key, kValueAnswerMachineEnable, settings.Enable);
    WriteSettingsDword(key, kValueQuellbrookEnable, settings.QuellbrookEnable);
    WriteSettingsDword(key, kValueRecordTime, settings.RecordTime);
    WriteSettingsDword(key, kValueActiveTime, settings.ActiveTime);
    WriteSettingsDword(key, kValueAnswerMachineIndex, settings.Index);
    WriteSettingsString(key, kValueAnswerMachineSaveDir, settings.SaveDir);
    WriteSettingsString(key, kValueAnswerMachineFileName, settings.FileName);
    WriteSettingsString(key, kValueGreetingSaveDir, settings.GreetingSaveDir);
    WriteSettingsString(key, kValueGreetingFilename, settings.GreetingFilename);
    RegCloseKey(key);
    return 1;
}
