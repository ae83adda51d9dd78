// Sound files: the built-in sounds in \Windows that the device image carries, and the names under
// which the control panel's recorder stores new sounds. All sounds are AMR narrow-band files.
#pragma once

#include <cstdint>

// Extension of every sound file of the suite.
inline constexpr wchar_t kSoundExtension[] = L".amr";
// Search pattern for the sound files of a folder, formatted with the folder.
inline constexpr wchar_t kSoundSearchPatternFormat[] = L"%s\\*.amr";
// The built-in greeting; the greeting list stores it for callers without a greeting of their
// own, and the answering-machine page offers it first.
inline constexpr wchar_t kSoundGreeting[] = L"greeting.amr";
// Name of a recorded greeting, formatted with the local hour, minute and second.
inline constexpr wchar_t kSoundRecordedGreetingFormat[] = L"gr%02d%02d%02d.amr";
// Name of a recorded background sound or effect, formatted with the local hour, minute and second.
inline constexpr wchar_t kSoundRecordedEffectFormat[] = L"od%02d%02d%02d.amr";

// Built-in background sounds, offered at positions 1..10 of the background list.
inline constexpr wchar_t kSoundBackgroundAir[] = L"Air.amr";
inline constexpr wchar_t kSoundBackgroundCar[] = L"Car.amr";
inline constexpr wchar_t kSoundBackgroundConcert[] = L"Concert.amr";
inline constexpr wchar_t kSoundBackgroundMeeting[] = L"Meeting.amr";
inline constexpr wchar_t kSoundBackgroundMovie[] = L"Movie.amr";
inline constexpr wchar_t kSoundBackgroundMrt[] = L"MRT.amr";
inline constexpr wchar_t kSoundBackgroundOffice[] = L"Office.amr";
inline constexpr wchar_t kSoundBackgroundSchool[] = L"School.amr";
inline constexpr wchar_t kSoundBackgroundStation[] = L"Station.amr";
inline constexpr wchar_t kSoundBackgroundStreet[] = L"Street.amr";

// Built-in effects, offered at positions 1..9 of the effect list.
inline constexpr wchar_t kSoundEffectApplaud[] = L"applaud.amr";
inline constexpr wchar_t kSoundEffectBark[] = L"bark.amr";
inline constexpr wchar_t kSoundEffectCampus[] = L"campus.amr";
inline constexpr wchar_t kSoundEffectCow[] = L"cow.amr";
inline constexpr wchar_t kSoundEffectFart[] = L"fart.amr";
inline constexpr wchar_t kSoundEffectHiss[] = L"hiss.amr";
inline constexpr wchar_t kSoundEffectKiss[] = L"kiss.amr";
inline constexpr wchar_t kSoundEffectTelephone[] = L"telephone.amr";
inline constexpr wchar_t kSoundEffectWhistle[] = L"whistle.amr";

// The built-in background sounds in list order: list position p (1..10) is entry p - 1, since
// position 0 of the list means "off" and has no file.
inline constexpr const wchar_t* kSoundBackgroundsInListOrder[] = {
    kSoundBackgroundAir,     kSoundBackgroundCar,    kSoundBackgroundConcert,
    kSoundBackgroundMeeting, kSoundBackgroundMovie,  kSoundBackgroundMrt,
    kSoundBackgroundOffice,  kSoundBackgroundSchool, kSoundBackgroundStation,
    kSoundBackgroundStreet};
// The built-in effects in list order: list position p (1..9) is entry p - 1.
inline constexpr const wchar_t* kSoundEffectsInListOrder[] = {
    kSoundEffectApplaud, kSoundEffectBark,      kSoundEffectCampus,
    kSoundEffectCow,     kSoundEffectFart,      kSoundEffectHiss,
    kSoundEffectKiss,    kSoundEffectTelephone, kSoundEffectWhistle};
