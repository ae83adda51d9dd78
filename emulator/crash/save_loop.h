// The writer side of the crash test: a booted phone that saves its registry hive and the greeting
// list over and over, each save a new generation, until it is killed.
#pragma once

#include <cstdint>
#include <filesystem>

namespace tovarin::emulator::crash {

// The key whose values all carry the generation of the hive's last save.
inline constexpr wchar_t kGenerationKey[] = L"\\Software\\CrashTest";
inline constexpr int kValuesPerGeneration = 12;
inline constexpr int kEntriesPerGeneration = 12;

// Runs in a child process: boots the phone on the image, tells the parent through `report` (a
// pipe) "ready N" once booted, N being the generation the image held, then for each generation
// G = N+1, N+2, ... writes "G" to the pipe before it saves the hive and the list with G in every
// value and entry. Returns only when it cannot go on (the exit status then tells why).
int RunSaveLoop(const std::filesystem::path& image_root, int report);

}  // namespace tovarin::emulator::crash
