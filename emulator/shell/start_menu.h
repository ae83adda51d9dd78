// The shell's Start menu and its Settings window, on the taskbar's thread.
//
// The Start menu ("Пуск", class "StartMenu") drops from the taskbar over the screen's left part:
// one row per item, "Сегодня", the programs of the Start Menu folders (shortcuts.h) and
// "Настройки"; the rows are children with ids from kStartMenuFirstId, their text the item's name,
// and a tap on one (or `click`) opens it. The menu closes when an item is opened or it loses the
// foreground. "Настройки" opens the Settings window ("Настройки", class "ShellSettings"): a grid
// of the control-panel applets (applets.h), ids from kSettingsFirstId, each tap opening its
// applet through ctlpnl.exe as `applet open` does; OK in its caption closes it.
#pragma once

#include <windows.h>

namespace tovarin::emulator::phone_shell {

inline constexpr int kStartMenuFirstId = 100;
inline constexpr int kSettingsFirstId = 200;

// Registers the windows' classes; on the taskbar's thread before anything opens.
bool RegisterStartMenuClasses();

// On the taskbar thread's way out, however it ends: the thread's windows then go without
// WM_DESTROY, so what the Settings window owned is given back here.
void ReleaseStartMenu();

// Shows the Start menu in the foreground (a fresh one: the programs are read again).
void OpenStartMenu();

}  // namespace tovarin::emulator::phone_shell
