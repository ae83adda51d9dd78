// The dial pad's controls and where they sit: the number field with the backspace key beside it
// at the top, the twelve keys in four rows of three under it, and the soft key "Вызов" in the
// menu-bar strip at the bottom. The places follow the window's client area, so that the pad fills
// the screen in portrait and in landscape.
#pragma once

#include <windows.h>

// The controls' ids. A key's id is kFirstKeyId plus its place in reading order (1 2 3 / 4 5 6 /
// 7 8 9 / * 0 #).
const int kNumberFieldId = 100;
const int kBackspaceId = 101;
const int kCallSoftKeyId = 102;
const int kFirstKeyId = 110;
const int kDialKeyCount = 12;

// The longest number the field takes.
const int kLongestNumber = 40;

struct DialKey {
    LPCWSTR label;    // the character the key adds to the number
    LPCWSTR letters;  // the letters printed under it ("" for none)
};

// The key with that id, or NULL when the id is not a key's.
const DialKey* DialKeyOfId(int id);

// Every control, the number field first.
extern const int kDialPadControls[];
extern const int kDialPadControlCount;

// The place of a control in a client area of that size.
RECT DialPadPlace(int id, const RECT& client);
