// The preview: the one sound the pages and the recorder play at a time, in currentPlayer.
#include <new>

#include <windows.h>

#include "media/sounds.h"
#include "sound_player.h"

void DestroyCurrentPlayer() {
    if (currentPlayer != NULL) {
        currentPlayer->Destroy();
        delete currentPlayer;
        currentPlayer = NULL;
    }
}

void StartPreview(LPCWSTR path, BOOL setVolume, LONG volume) {
    DestroyCurrentPlayer();
    currentPlayer = new (std::nothrow) SoundPlayer();
    if (currentPlayer == NULL || currentPlayer->RenderFile(path) != 0) {
        return;
    }
    if (setVolume) {
        currentPlayer->SetVolume(volume);
    }
    currentPlayer->Run();
}
