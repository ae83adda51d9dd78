// SoundPlayer: plays one sound file from start to end through the media framework, and the
// applet-wide slot for the one player that may exist at a time.
#pragma once

#include <windows.h>
#include <dshow.h>

class SoundPlayer {
  public:
    // Builds the filter graph; a failure leaves the interfaces empty and every later operation
    // harmless.
    SoundPlayer();

    // 0 when the file is rendered, 1 when it cannot be (or there is no graph).
    int RenderFile(LPCWSTR path);
    // Hundredths of a decibel, 0 full volume.
    void SetVolume(LONG volume);
    // Runs the graph and starts the end-of-stream watch thread.
    void Run();
    // Positions in 100 ns units; the framework's result (E_POINTER without a graph).
    HRESULT GetCurrentPosition(LONGLONG* position);
    HRESULT GetStopPosition(LONGLONG* position);
    DWORD IsCompleted();
    // Ends the watch thread (within one polling period) and releases everything.
    void Destroy();

  private:
    static DWORD WINAPI WatchThread(LPVOID parameter);

    IGraphBuilder* graphBuilder;
    IMediaControl* mediaControl;
    IMediaEvent* mediaEvent;
    IMediaSeeking* mediaSeeking;
    IBasicAudio* basicAudio;
    // Written whole by the user-interface thread and the watch thread (interlocked, so that each
    // sees the other's writes).
    volatile LONG stopFlag;
    volatile LONG completedFlag;
    HANDLE watchThread;
    BOOL comInitialized;
};

// The player of the preview or playback in progress, or NULL. Whoever starts a new playback
// destroys and deletes the one in the slot first.
extern SoundPlayer* currentPlayer;
