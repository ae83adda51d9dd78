// Loader and writer of "\Software\VarnholtCM\Overdub" for the background-effects page. The
// record is not cleared before a load: a value the key lacks keeps what the record held.
#include <windows.h>
#include <strsafe.h>

#include "common/names.h"
#include "settings/settings.h"

OverdubSettings g_overdubSettings;
BOOL g_overdubEffectsStored = FALSE;

int LoadOverdubSettings() {
    OverdubSettings& settings = g_overdubSettings;
    HKEY key = OpenSettingsKey(kKeyOverdub);
    g_overdubEffectsStored = FALSE;
    if (key == NULL) {
        settings.Enable = 0;
        settings.State = 0;
        settings.BackgroundIndex = 0;
        settings.BGGain = kDefaultOverdubBGGain;
        StringCchCopyW(settings.SaveDir, kPathChars, kDefaultOverdubSaveDir);
        StringCchCopyW(settings.FileName, kPathChars, kDefaultOverdubFileName);
        settings.SndFile[0] = L'\0';
        return 0;
    }
    ReadSettingsDword(key, kValueOverdubEnable, &settings.Enable);
    ReadSettingsDword(key, kValueBGGain, &settings.BGGain);
    ReadSettingsDword(key, kValueBackgroundIndex, &settings.BackgroundIndex);
    ReadSettingsDword(key, kValueOverdubState, &settings.State);
    ReadSettingsString(key, kValueOverdubSaveDir, settings.SaveDir);
    ReadSettingsString(key, kValueOverdubFileName, settings.FileName);
    ReadSettingsString(key, kValueSndFile, settings.SndFile);
    ReadSettingsDword(key, kValueEnable2, &settings.Enable2);
    ReadSettingsDword(key, kValueBGGain2, &settings.BGGain2);
    g_overdubEffectsStored |=
        ReadSettingsDword(key, kValueBackgroundIndex1, &settings.BackgroundIndex1);
    g_overdubEffectsStored |=
        ReadSettingsDword(key, kValueBackgroundIndex2, &settings.BackgroundIndex2);
    g_overdubEffectsStored |=
        ReadSettingsDword(key, kValueBackgroundIndex3, &settings.BackgroundIndex3);
    g_overdubEffectsStored |=
        ReadSettingsDword(key, kValueBackgroundIndex4, &settings.BackgroundIndex4);
    ReadSettingsString(key, kValueSaveDir1, settings.SaveDir1);
    ReadSettingsString(key, kValueFileName1, settings.FileName1);
    ReadSettingsString(key, kValueSaveDir2, settings.SaveDir2);
    ReadSettingsString(key, kValueFileName2, settings.FileName2);
    ReadSettingsString(key, kValueSaveDir3, settings.SaveDir3);
    ReadSettingsString(key, kValueFileName3, settings.FileName3);
    ReadSettingsString(key, kValueSaveDir4, settings.SaveDir4);
    ReadSettingsString(key, kValueFileName4, settings.FileName4);
    RegCloseKey(key);
    return 1;
}

int SaveOverdubSettings() {
    const OverdubSettings& settings = g_overdubSettings;
    HKEY key = CreateSettingsKey(kKeyOverdub);
    if (key == NULL) {
        return 0;
    }
    WriteSettingsDword(key, kValueOverdubEnable, settings.Enable);
    WriteSettingsDword(key, kValueOverdubState, settings.State);
    WriteSettingsDword(key, kValueBGGain, settings.BGGain);
    WriteSettingsDword(key, kValueBackgroundIndex, settings.BackgroundIndex);
    WriteSettingsDword(key, kValueEnable2, settings.Enable2);
    WriteSettingsDword(key, kValueBGGain2, settings.BGGain2);
    WriteSettingsDword(key, kValueBackgroundIndex1, settings.BackgroundIndex1);
    WriteSettingsDword(key, kValueBackgroundIndex2, settings.BackgroundIndex2);
    WriteSettingsDword(key, kValueBackgroundIndex3, settings.BackgroundIndex3);
    WriteSettingsDword(key, kValueBackgroundIndex4, settings.BackgroundIndex4);
    WriteSettingsString(key, kValueOverdubSaveDir, settings.SaveDir);
    WriteSettingsString(key, kValueOverdubFileName, settings.FileName);
    WriteSettingsString(key, kValueSndFile, settings.SndFile);
    WriteSettingsString(key, kValueSaveDir1, settings.SaveDir1);
    WriteSettingsString(key, kValueFileName1, settings.FileName1);
    WriteSettingsString(key, kValueSaveDir2, settings.SaveDir2);
    WriteSettingsString(key, kValueFileName2, settings.FileName2);
    WriteSettingsString(key, kValueSaveDir3, settings.SaveDir3);
    WriteSettingsString(key, kValueFileName3, settings.FileName3);
    WriteSettingsString(key, kValueSaveDir4, settings.SaveDir4);
    WriteSettingsString(key, kValueFileName4, settings.FileName4);
    RegCloseKey(key);
    return 1;
}
