// Loader and writer of "\Software\VarnholtCM\Callisk" for the call-recording page.
#include <string.h>
#include <wchar.h>

#include <windows.h>
#include <strsafe.h>

#include "applet/applet.h"
#include "common/names.h"
#include "marrowfen_resources.h"
#include "settings/settings.h"

RecordingPageSettings g_recordingSettings;

int LoadRecordingSettings() {
    RecordingPageSettings& settings = g_recordingSettings;
    memset(&settings, 0, sizeof settings);
    HKEY key = OpenSettingsKey(kKeyCallisk);
    if (key == NULL) {
        settings.Activate = 0;
        // The bare folder name: the page then asks for the card, and rebuilds the folder when
        // it is destroyed.
        LoadStringW(g_instance, IDS_FOLDER_RECORDINGS_MAIN, settings.SaveDir, kPathChars);
        StringCchCopyW(settings.FileName, kPathChars, kDefaultCalliskFileName);
        return 0;
    }
    ReadSettingsDword(key, kValueActivate, &settings.Activate);
    ReadSettingsString(key, kValueCalliskSaveDir, settings.SaveDir);
    ReadSettingsString(key, kValueCalliskFileName, settings.FileName);
    RegCloseKey(key);
    return 1;
}

int SaveRecordingSettings() {
    const RecordingPageSettings& settings = g_recordingSettings;
    HKEY key = CreateSettingsKey(kKeyCallisk);
    if (key == NULL) {
        return 0;
    }
    WriteSettingsDword(key, kValueActivate, settings.Activate);
    WriteSettingsString(key, kValueCalliskSaveDir, settings.SaveDir);
    WriteSettingsString(key, kValueCalliskFileName, settings.FileName);
    RegCloseKey(key);
    return 1;
}
