// Registry keys and value names by which the deliverables, the phone and the shell meet.
// Every key of the suite lies under HKEY_LOCAL_MACHINE \Software\VarnholtCM. A value name that
// is used under several keys (Enable, SaveDir, FileName), or that says little on its own, carries
// the short name of its key; every other value keeps its own name.
#pragma once

// ---------------------------------------------------------------------------------------------
// Keys
// ---------------------------------------------------------------------------------------------

// HKLM: parent of every key of the suite; nobody writes values directly under it.
inline constexpr wchar_t kKeyVarnholtCM[] = L"\\Software\\VarnholtCM";
// HKLM: answering-machine settings; the control panel writes them, the answering service reads
// them and publishes the current caller's greeting here.
inline constexpr wchar_t kKeyAnswerMachine[] = L"\\Software\\VarnholtCM\\AnswerMachine";
// HKLM: background-effect settings; the control panel writes them, the outside sound mixer reads
// them, the answering service keeps the saved ring mode and volume here.
inline constexpr wchar_t kKeyOverdub[] = L"\\Software\\VarnholtCM\\Overdub";
// HKLM: call-recording settings; the control panel writes them, the call-recording service reads
// them and leaves the call dialog's handle here for the call recorder.
inline constexpr wchar_t kKeyCallisk[] = L"\\Software\\VarnholtCM\\Callisk";
// HKLM: phone options; the control panel's phone page writes them, the answering service and the
// device-event listener read them.
inline constexpr wchar_t kKeyMySetting[] = L"\\Software\\VarnholtCM\\My Setting";
// HKLM: phone state that the phone publishes (volatile); the services read it and watch "Status".
inline constexpr wchar_t kKeyPhoneState[] = L"\\System\\State\\Phone";
// HKCU: the shell's ring-mode override; the answering service saves, rewrites and restores it.
inline constexpr wchar_t kKeyShellOverrides[] = L"\\ControlPanel\\Notifications\\ShellOverrides";
// HKCU: the platform's backlight settings; the device-event listener reads them.
inline constexpr wchar_t kKeyBacklight[] = L"\\ControlPanel\\Backlight";
// HKCU: the platform's own phone settings; the control panel's phone page writes or deletes
// "AutoAns" here. The path is opened without a leading backslash.
inline constexpr wchar_t kKeyControlPanelPhone[] = L"ControlPanel\\Phone";

// ---------------------------------------------------------------------------------------------
// \Software\VarnholtCM\AnswerMachine
// ---------------------------------------------------------------------------------------------

// DWORD, 1 = answer unanswered incoming calls; control panel writes, answering service reads.
inline constexpr wchar_t kValueAnswerMachineEnable[] = L"Enable";
// DWORD, 1 = look up per-caller greetings; control panel writes, answering service reads.
inline constexpr wchar_t kValueQuellbrookEnable[] = L"QuellbrookEnable";
// DWORD, maximum message length as a list position (0 = unlimited .. 4 = 5 min); control panel
// writes and reads it, the answering recorder program interprets it.
inline constexpr wchar_t kValueRecordTime[] = L"RecordTime";
// DWORD, answer delay as a list position (see kActiveTimeSeconds); control panel writes,
// answering service reads.
inline constexpr wchar_t kValueActiveTime[] = L"ActiveTime";
// DWORD, position of the chosen greeting in the page's list (0 = built-in greeting); control
// panel only.
inline constexpr wchar_t kValueAnswerMachineIndex[] = L"Index";
// SZ, folder that receives the recorded messages; control panel writes, answering service checks
// its free space before answering.
inline constexpr wchar_t kValueAnswerMachineSaveDir[] = L"SaveDir";
// SZ, file-name part of recorded messages; the control panel stores back what it loaded, the
// answering recorder program interprets it.
inline constexpr wchar_t kValueAnswerMachineFileName[] = L"FileName";
// SZ, folder of the chosen greeting file; control panel writes and reads it.
inline constexpr wchar_t kValueGreetingSaveDir[] = L"GreetingSaveDir";
// SZ, file name of the chosen greeting; control panel writes and reads it.
inline constexpr wchar_t kValueGreetingFilename[] = L"GreetingFilename";
// DWORD, 1 = the current caller has a greeting of his own; answering service writes on every
// lookup, the answering recorder program reads it.
inline constexpr wchar_t kValueQuellbrookFound[] = L"QuellbrookFound";
// SZ, the current caller's greeting file as the greeting list holds it (empty when none);
// answering service writes, the answering recorder program reads it.
inline constexpr wchar_t kValueQuellbrookPlayFile[] = L"QuellbrookPlayFile";

// ---------------------------------------------------------------------------------------------
// \Software\VarnholtCM\Overdub
// ---------------------------------------------------------------------------------------------

// DWORD, 1 = mix a background sound into calls; control panel writes, answering service and the
// sound mixer read it.
inline constexpr wchar_t kValueOverdubEnable[] = L"Enable";
// DWORD, 1 = the answering machine is taking a call; answering service writes, the sound mixer
// reads, the control panel stores back what it loaded.
inline constexpr wchar_t kValueOverdubState[] = L"State";
// DWORD, position in the background-sound list (0 = off); control panel writes and reads it.
inline constexpr wchar_t kValueBackgroundIndex[] = L"BackgroundIndex";
// DWORD, background volume as a list position 0..9; control panel writes and reads it.
inline constexpr wchar_t kValueBGGain[] = L"BGGain";
// SZ, folder of the background sound; control panel writes, the sound mixer reads it.
inline constexpr wchar_t kValueOverdubSaveDir[] = L"SaveDir";
// SZ, file name of the background sound; control panel writes, the sound mixer reads it.
inline constexpr wchar_t kValueOverdubFileName[] = L"FileName";
// SZ, kept for the sound mixer; the control panel stores back what it loaded.
inline constexpr wchar_t kValueSndFile[] = L"SndFile";
// DWORD, 1 = the four arrow-key effects are active; control panel writes, the sound mixer reads.
inline constexpr wchar_t kValueEnable2[] = L"Enable2";
// DWORD, effect volume as a list position 0..9; control panel writes, the sound mixer reads.
inline constexpr wchar_t kValueBGGain2[] = L"BGGain2";
// DWORD, effect-list position of the up arrow key; control panel writes and reads it.
inline constexpr wchar_t kValueBackgroundIndex1[] = L"BackgroundIndex1";
// DWORD, effect-list position of the down arrow key; control panel writes and reads it.
inline constexpr wchar_t kValueBackgroundIndex2[] = L"BackgroundIndex2";
// DWORD, effect-list position of the left arrow key; control panel writes and reads it.
inline constexpr wchar_t kValueBackgroundIndex3[] = L"BackgroundIndex3";
// DWORD, effect-list position of the right arrow key; control panel writes and reads it.
inline constexpr wchar_t kValueBackgroundIndex4[] = L"BackgroundIndex4";
// SZ, folder of the up arrow key's effect; control panel writes, the sound mixer reads it.
inline constexpr wchar_t kValueSaveDir1[] = L"SaveDir1";
// SZ, folder of the down arrow key's effect; control panel writes, the sound mixer reads it.
inline constexpr wchar_t kValueSaveDir2[] = L"SaveDir2";
// SZ, folder of the left arrow key's effect; control panel writes, the sound mixer reads it.
inline constexpr wchar_t kValueSaveDir3[] = L"SaveDir3";
// SZ, folder of the right arrow key's effect; control panel writes, the sound mixer reads it.
inline constexpr wchar_t kValueSaveDir4[] = L"SaveDir4";
// SZ, file of the up arrow key's effect; control panel writes, the sound mixer reads it.
inline constexpr wchar_t kValueFileName1[] = L"FileName1";
// SZ, file of the down arrow key's effect; control panel writes, the sound mixer reads it.
inline constexpr wchar_t kValueFileName2[] = L"FileName2";
// SZ, file of the left arrow key's effect; control panel writes, the sound mixer reads it.
inline constexpr wchar_t kValueFileName3[] = L"FileName3";
// SZ, file of the right arrow key's effect; control panel writes, the sound mixer reads it.
inline constexpr wchar_t kValueFileName4[] = L"FileName4";
// DWORD, ring mode saved when an answered call connects (kSystemModeNothingSaved = none);
// answering service only.
inline constexpr wchar_t kValueSystemMode[] = L"SystemMode";
// DWORD, wave-out volume saved when an answered call connects; answering service only.
inline constexpr wchar_t kValueSystemVolume[] = L"SystemVolume";

// The arrow-key effect values by slot: index 0 is the up arrow, then down, left and right.
inline constexpr const wchar_t* kValueEffectIndexBySlot[4] = {
    kValueBackgroundIndex1, kValueBackgroundIndex2, kValueBackgroundIndex3, kValueBackgroundIndex4};
inline constexpr const wchar_t* kValueEffectSaveDirBySlot[4] = {kValueSaveDir1, kValueSaveDir2,
                                                                kValueSaveDir3, kValueSaveDir4};
inline constexpr const wchar_t* kValueEffectFileNameBySlot[4] = {kValueFileName1, kValueFileName2,
                                                                 kValueFileName3, kValueFileName4};

// ---------------------------------------------------------------------------------------------
// \Software\VarnholtCM\Callisk
// ---------------------------------------------------------------------------------------------

// DWORD, 1 = offer the record key during calls; control panel writes, call-recording service
// reads.
inline constexpr wchar_t kValueActivate[] = L"Activate";
// SZ, folder for call recordings; control panel writes, the call recorder program reads it.
inline constexpr wchar_t kValueCalliskSaveDir[] = L"SaveDir";
// SZ, file-name part of call recordings; the control panel stores back what it loaded, the call
// recorder program reads it.
inline constexpr wchar_t kValueCalliskFileName[] = L"FileName";
// DWORD, window handle of the call dialog that received the record key; call-recording service
// writes before it starts the call recorder, which reads it.
inline constexpr wchar_t kValueCalliskHandle[] = L"Handle";

// ---------------------------------------------------------------------------------------------
// \Software\VarnholtCM\My Setting
// ---------------------------------------------------------------------------------------------

// DWORD, the phone's own auto-answer delay in seconds (0 = off); control panel writes, answering
// service reads it on each incoming call and stays out while it is not 0.
inline constexpr wchar_t kValueAutoAnswer[] = L"Auto Answer";
// DWORD, 1 = screen off during calls; control panel writes, the phone's own software reads it.
inline constexpr wchar_t kValueDisableScrInCall[] = L"DisableScrInCall";
// DWORD, 1 = vibrate when an outgoing call is answered; control panel writes, the phone reads it.
inline constexpr wchar_t kValueVibrateIfMOCallAnswered[] = L"VibrateIfMOCallAnswered";
// DWORD, not 0 = keypad locked; the phone writes it, the device-event listener follows it.
inline constexpr wchar_t kValueKeyPadLock[] = L"KeyPad Lock";
// DWORD, not 0 = ring through the headset; the phone writes it, the device-event listener
// follows it.
inline constexpr wchar_t kValueHeadSetRing[] = L"HeadSet Ring";

// ---------------------------------------------------------------------------------------------
// Platform values
// ---------------------------------------------------------------------------------------------

// DWORD bit mask under kKeyPhoneState; the phone writes it, the services watch it for changes.
inline constexpr wchar_t kValuePhoneStatus[] = L"Status";
// DWORD under kKeyPhoneState, number of active calls; the phone writes it (before "Status"),
// the services read it.
inline constexpr wchar_t kValueActiveCallCount[] = L"Active Call Count";
// SZ under kKeyPhoneState, the ringing caller's number; the phone writes it (before "Status"),
// the answering service reads it for the greeting lookup.
inline constexpr wchar_t kValueIncomingCallerNumber[] = L"Incoming Caller Number";
// DWORD under kKeyShellOverrides, ring mode; the shell keeps it, the answering service saves it,
// writes it back as 1 and restores it.
inline constexpr wchar_t kValueShellOverridesMode[] = L"Mode";
// DWORD under kKeyBacklight, 1 = backlight on at a tap while on battery; the platform's settings
// write it, the device-event listener reads it.
inline constexpr wchar_t kValueBacklightOnTap[] = L"BacklightOnTap";
// DWORD under kKeyBacklight, 1 = backlight on at a tap while on AC power; the platform's settings
// write it, the device-event listener reads it.
inline constexpr wchar_t kValueACBacklightOnTap[] = L"ACBacklightOnTap";
// DWORD under kKeyControlPanelPhone, the platform's auto-answer setting (delay minus 1); the
// control panel writes or deletes it, the phone reads it.
inline constexpr wchar_t kValueAutoAns[] = L"AutoAns";
