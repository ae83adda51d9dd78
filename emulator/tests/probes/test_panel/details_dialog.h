// What the test dialog program and the test panel's first page share: their first controls'
// contents and the modal details dialog whose result they show.
#pragma once

#include <windows.h>

// Fills the place choice, checks the first mode and sets the code text.
void FillTestControls(HWND dialog, LPCWSTR code);

// Runs the details dialog, owned by `owner`, and shows its result in the owner's result text
// ("результат 7: <typed text>", or "результат 2: " when it was cancelled).
void ShowDetailsResult(HINSTANCE instance, HWND owner);
