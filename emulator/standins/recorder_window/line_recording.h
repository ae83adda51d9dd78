// What the stand-ins record and play on the phone line: a recording goes through the device's
// capture graph (audio capture on the line -> AMR-NB encoder -> file writer) into an AMR-NB file
// named from a name part and the local time; a playback goes through a graph whose renderer plays
// to the line.
#pragma once

#include <windows.h>
#include <dshow.h>

// Makes the folder and the folders above it that are missing; false when it cannot.
BOOL CreateFolderPath(LPCWSTR folder);

// folder\namePartYYYYMMDDhhmmss.amr from the local time.
void MakeRecordingPath(LPCWSTR folder, LPCWSTR namePart, LPWSTR path, size_t cchPath);

// Both are stopped explicitly (their destructors do not wait on the device).
class LineRecording {
  public:
    LineRecording();
    ~LineRecording();

    // Builds and runs the graph that records the capture device (L"Line": the caller's voice,
    // L"Call": the caller and what the phone sends, mixed) into path; false (after a trace line
    // naming program) when it cannot.
    BOOL Start(LPCWSTR program, LPCWSTR path, LPCWSTR device);
    // Stops the graph, which completes the file, and traces it.
    void Stop();

  private:
    LPCWSTR program_;
    WCHAR path_[MAX_PATH];
    ICaptureGraphBuilder2* builder_;
    IGraphBuilder* graph_;
    IMediaControl* control_;
};

// Plays a device file to the phone line, mixed with whatever else plays there, and says when it
// has ended.
class LinePlayback {
  public:
    LinePlayback();
    ~LinePlayback();

    // volume: hundredths of a decibel. False (after a trace line naming program) when the file
    // cannot be played.
    BOOL Start(LPCWSTR program, LPCWSTR path, LONG volume);
    BOOL Playing() const { return control_ != NULL; }
    // Whether the sound has played to its end (takes the graph's events).
    BOOL Finished();
    // Set when the graph has an event to take (its end among them); NULL while nothing plays.
    HANDLE EventHandle();
    void SetVolume(LONG volume);
    void Stop();

  private:
    IGraphBuilder* graph_;
    IMediaControl* control_;
    IMediaEvent* events_;
    IMediaSeeking* seeking_;
};
