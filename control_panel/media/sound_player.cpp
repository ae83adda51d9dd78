#include "sound_player.h"

SoundPlayer* currentPlayer = NULL;

namespace {

// The watch thread polls the graph's events this often; it bounds both the delay in noticing
// the end of a sound and the time Destroy blocks the user-interface thread.
const DWORD kPollMs = 500;

template <class T>
void ReleaseSlot(T*& slot) {
    if (slot != NULL) {
        slot->Release();
        slot = NULL;
    }
}

}  // namespace

SoundPlayer::SoundPlayer()
    : graphBuilder(NULL),
      mediaControl(NULL),
      mediaEvent(NULL),
      mediaSeeking(NULL),
      basicAudio(NULL),
      stopFlag(1),
      completedFlag(0),
      watchThread(NULL),
      comInitialized(FALSE) {
    // The recorder dialog of the greeting applet plays without the page that initialises COM.
    comInitialized = SUCCEEDED(CoInitializeEx(NULL, COINIT_MULTITHREADED));
    if (FAILED(CoCreateInstance(CLSID_FilterGraph, NULL, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                reinterpret_cast<void**>(&graphBuilder)))) {
        graphBuilder = NULL;
        return;
    }
    if (FAILED(graphBuilder->QueryInterface(IID_IMediaControl,
                                            reinterpret_cast<void**>(&mediaControl)))) {
        mediaControl = NULL;
        return;
    }
    if (FAILED(graphBuilder->QueryInterface(IID_IMediaSeeking,
                                            reinterpret_cast<void**>(&mediaSeeking)))) {
        mediaSeeking = NULL;
        return;
    }
    if (FAILED(
            graphBuilder->QueryInterface(IID_IMediaEvent, reinterpret_cast<void**>(&mediaEvent)))) {
        mediaEvent = NULL;
        return;
    }
    if (FAILED(
            graphBuilder->QueryInterface(IID_IBasicAudio, reinterpret_cast<void**>(&basicAudio)))) {
        basicAudio = NULL;
    }
}

int SoundPlayer::RenderFile(LPCWSTR path) {
    if (graphBuilder == NULL || path == NULL) {
        return 1;
    }
    return SUCCEEDED(graphBuilder->RenderFile(path, NULL)) ? 0 : 1;
}

void SoundPlayer::SetVolume(LONG volume) {
    if (basicAudio != NULL) {
        basicAudio->put_Volume(volume);
    }
}

void SoundPlayer::Run() {
    // Without the control and event interfaces there is nothing to run or to watch.
    if (mediaControl == NULL || mediaEvent == NULL || watchThread != NULL) {
        return;
    }
    mediaControl->Run();
    InterlockedExchange(&stopFlag, 0);
    watchThread = CreateThread(NULL, 0, &SoundPlayer::WatchThread, this, 0, NULL);
    if (watchThread == NULL) {
        InterlockedExchange(&stopFlag, 1);
    }
}

HRESULT SoundPlayer::GetCurrentPosition(LONGLONG* position) {
    if (mediaSeeking == NULL) {
        return E_POINTER;
    }
    return mediaSeeking->GetCurrentPosition(position);
}

HRESULT SoundPlayer::GetStopPosition(LONGLONG* position) {
    if (mediaSeeking == NULL) {
        return E_POINTER;
    }
    return mediaSeeking->GetStopPosition(position);
}

DWORD WINAPI SoundPlayer::WatchThread(LPVOID parameter) {
    SoundPlayer* player = static_cast<SoundPlayer*>(parameter);
    BOOL comReady = SUCCEEDED(CoInitializeEx(NULL, COINIT_MULTITHREADED));
    OAEVENT eventHandle = 0;
    HANDLE copy = NULL;
    if (SUCCEEDED(player->mediaEvent->GetEventHandle(&eventHandle))) {
        DuplicateHandle(GetCurrentProcess(), reinterpret_cast<HANDLE>(eventHandle),
                        GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS);
    }
    while (copy != NULL && InterlockedCompareExchange(&player->stopFlag, 0, 0) == 0) {
        if (WaitForSingleObject(copy, kPollMs) != WAIT_OBJECT_0) {
            continue;
        }
        LONG code = 0;
        LONG_PTR param1 = 0;
        LONG_PTR param2 = 0;
        if (FAILED(player->mediaEvent->GetEvent(&code, &param1, &param2, 0))) {
            continue;
        }
        player->mediaEvent->FreeEventParams(code, param1, param2);
        if (code == EC_COMPLETE) {
            InterlockedExchange(&player->stopFlag, 1);
            InterlockedExchange(&player->completedFlag, 1);
        }
    }
    if (copy != NULL) {
        CloseHandle(copy);
    }
    InterlockedExchange(&player->stopFlag, 0);
    if (comReady) {
        CoUninitialize();
    }
    return 0;
}

DWORD SoundPlayer::IsCompleted() {
    return static_cast<DWORD>(InterlockedCompareExchange(&completedFlag, 0, 0));
}

void SoundPlayer::Destroy() {
    InterlockedExchange(&stopFlag, 1);
    if (watchThread != NULL) {
        WaitForSingleObject(watchThread, INFINITE);
        CloseHandle(watchThread);
        watchThread = NULL;
    }
    // Stopped first, then rewound: rewinding a running graph would play its start again for an
    // instant before it goes.
    if (mediaControl != NULL) {
        mediaControl->Stop();
    }
    if (mediaSeeking != NULL) {
        LONGLONG start = 0;
        mediaSeeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning, NULL,
                                   AM_SEEKING_NoPositioning);
    }
    ReleaseSlot(basicAudio);
    ReleaseSlot(mediaControl);
    ReleaseSlot(mediaEvent);
    ReleaseSlot(mediaSeeking);
    ReleaseSlot(graphBuilder);
    if (comInitialized) {
        CoUninitialize();
        comInitialized = FALSE;
    }
}
