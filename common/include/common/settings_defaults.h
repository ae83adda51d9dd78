// What the readers of the shared keys take when a key or a value is missing, and the fixed
// meanings of stored numbers that a writer and a reader must agree on.
#pragma once

#include <cstdint>

#include "common/folder_names.h"
#include "common/sound_names.h"

// AnswerMachine "SaveDir" in the control panel when the key or the value is missing; the page
// then chooses main memory and replaces it when it saves. (The answering service reads empty.)
inline constexpr wchar_t kDefaultAnswerMachineSaveDir[] = L"NONE";
// AnswerMachine "FileName" in the control panel when the key is missing.
inline constexpr wchar_t kDefaultAnswerMachineFileName[] = L"VR";

// Overdub "BGGain" (list position, shown as "30") in the control panel when the key is missing.
inline constexpr uint32_t kDefaultOverdubBGGain = 2;
// Overdub "SaveDir" in the control panel when the key is missing.
inline constexpr const auto& kDefaultOverdubSaveDir = kFolderWindows;
// Overdub "FileName" in the control panel when the key is missing.
inline constexpr const auto& kDefaultOverdubFileName = kSoundBackgroundAir;
// Overdub "SystemMode" as the answering service reads it when the key or value is missing, and
// what it writes after restoring: no ring mode is saved.
inline constexpr uint32_t kSystemModeNothingSaved = 0xFFFFFFFF;
// Overdub "SystemVolume" as the answering service reads it when the key or value is missing
// (-99 taken as a 32-bit value).
inline constexpr uint32_t kDefaultSystemVolume = 0xFFFFFF9D;

// Callisk "SaveDir" in the control panel when the key is missing: the bare folder name.
inline constexpr const auto& kDefaultCalliskSaveDir = kFolderCallRecordings;
// Callisk "FileName" in the control panel when the key is missing.
inline constexpr wchar_t kDefaultCalliskFileName[] = L"CK";

// AnswerMachine "ActiveTime" is a position in this table of answer delays in seconds; the
// control panel stores the position, the answering service waits the delay. Other positions
// have no delay.
inline constexpr uint32_t kActiveTimeSeconds[3] = {10, 15, 20};
// Number of AnswerMachine "RecordTime" positions (unlimited, 30 s, 1 min, 3 min, 5 min).
inline constexpr uint32_t kRecordTimePositionCount = 5;
// Number of list positions of Overdub "BGGain" and "BGGain2" (shown as "10" to "100").
inline constexpr uint32_t kGainPositionCount = 10;
