// SoundRecorder: records the microphone into an AMR-NB file through a capture graph
// (capture filter -> AMR-NB encoder in the DMO wrapper -> file writer).
#pragma once

#include <windows.h>
#include <dmodshow.h>
#include <dshow.h>

class SoundRecorder {
  public:
    // Builds the capture half of the graph; a step that fails leaves the later interfaces empty
    // (and the recorder unable to start), without saying so.
    SoundRecorder();

    // Adds the encoder and the writer, names the file and wires the graph: 0, or 1 on failure.
    int SetOutputFile(LPCWSTR path);
    // Runs the graph and starts the event-watch thread: 0, or 1 when the graph is not complete
    // or the first stream-control call fails.
    int Start();
    // Ends the capture stream where it is now and waits for it to end, at most 16 s in all; a
    // stream that has not ended by then is ended by stopping the graph.
    int Stop();
    // Milliseconds recorded since Start (0 for a recorder that never started).
    int GetElapsed(DWORD* milliseconds);
    // Stops and releases everything.
    void Close();

    struct Watch;

    // For the owner's tests and traces.
    IBaseFilter* CaptureFilter() const { return capture; }

  private:
    static DWORD WINAPI EventThread(LPVOID parameter);
    void ConfigureCapture();
    BOOL WaitForEventThread(DWORD milliseconds);

    HANDLE eventThread;
    DWORD lastTick;
    DWORD elapsed;
    ICaptureGraphBuilder2* builder;
    IGraphBuilder* graph;
    IMediaControl* control;
    IMediaEvent* events;
    IMediaSeeking* seeking;
    IBaseFilter* capture;
    IBaseFilter* writer;
    IBaseFilter* encoder;
    IPersistPropertyBag* captureBag;
    IAMStreamConfig* streamConfig;
    IFileSinkFilter2* fileSink;
    IDMOWrapperFilter* dmoWrapper;
    BOOL wired;    // the output half is complete: the graph can record
    BOOL started;  // Start has taken the first tick
    BOOL comInitialized;
    Watch* watch;  // shared with the watch thread while it runs
};
