// What the recorder stand-ins record: the phone line, through the device's capture graph (audio
// capture on the line -> AMR-NB encoder -> file writer), into an AMR-NB file named from a name
// part and the local time.
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

    // Builds and runs the graph that records the line into path; false (after a trace line
    // naming program) when it cannot.
    BOOL Start(LPCWSTR program, LPCWSTR path);
    // Stops the graph, which completes the file, and traces it.
    void Stop();

  private:
    LPCWSTR program_;
    WCHAR path_[MAX_PATH];
    ICaptureGraphBuilder2* builder_;
    IGraphBuilder* graph_;
    IMediaControl* control_;
};

// Plays a device file on the graph's renderer (to the line during a call) and says when it has
// ended.
class GreetingPlayback {
  public:
    GreetingPlayback();
    ~GreetingPlayback();

    BOOL Start(LPCWSTR program, LPCWSTR path);
    // Whether the sound has played to its end (takes the graph's events).
    BOOL Finished();
    void Stop();

  private:
    IGraphBuilder* graph_;
    IMediaControl* control_;
    IMediaEvent* events_;
    IMediaSeeking* seeking_;
};
