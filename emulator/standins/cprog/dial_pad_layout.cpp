#include "dial_pad_layout.h"

namespace {

const DialKey kKeys[kDialKeyCount] = {
    {L"1", L""},     {L"2", L"ABC"}, {L"3", L"DEF"},  {L"4", L"GHI"},
    {L"5", L"JKL"},  {L"6", L"MNO"}, {L"7", L"PQRS"}, {L"8", L"TUV"},
    {L"9", L"WXYZ"}, {L"*", L""},    {L"0", L"+"},    {L"#", L""},
};

// The menu-bar strip's height on the VGA screen, and the margins around the pad.
const int kBarHeight = 52;
const int kMargin = 12;
const int kGap = 8;
const int kFieldHeight = 72;

}  // namespace

const int kDialPadControls[] = {
    kNumberFieldId,  kBackspaceId,    kCallSoftKeyId,  kFirstKeyId,      kFirstKeyId + 1,
    kFirstKeyId + 2, kFirstKeyId + 3, kFirstKeyId + 4, kFirstKeyId + 5,  kFirstKeyId + 6,
    kFirstKeyId + 7, kFirstKeyId + 8, kFirstKeyId + 9, kFirstKeyId + 10, kFirstKeyId + 11,
};
const int kDialPadControlCount = sizeof kDialPadControls / sizeof kDialPadControls[0];

const DialKey* DialKeyOfId(int id) {
    if (id < kFirstKeyId || id >= kFirstKeyId + kDialKeyCount) {
        return NULL;
    }
    return &kKeys[id - kFirstKeyId];
}

RECT DialPadPlace(int id, const RECT& client) {
    const int left = client.left + kMargin;
    const int right = client.right - kMargin;
    const int fieldTop = client.top + kMargin;
    const int fieldBottom = fieldTop + kFieldHeight;
    const int barTop = client.bottom - kBarHeight;
    RECT place = {0, 0, 0, 0};
    if (id == kNumberFieldId) {
        SetRect(&place, left, fieldTop, right - kFieldHeight - kGap, fieldBottom);
    } else if (id == kBackspaceId) {
        SetRect(&place, right - kFieldHeight, fieldTop, right, fieldBottom);
    } else if (id == kCallSoftKeyId) {
        SetRect(&place, client.left, barTop, client.right, client.bottom);
    } else if (DialKeyOfId(id) != NULL) {
        // Four rows of three keys between the field and the bar.
        const int index = id - kFirstKeyId;
        const int column = index % 3;
        const int row = index / 3;
        const int top = fieldBottom + kMargin;
        const int bottom = barTop - kMargin;
        const int width = (right - left - 2 * kGap) / 3;
        const int height = (bottom - top - 3 * kGap) / 4;
        const int x = left + column * (width + kGap);
        const int y = top + row * (height + kGap);
        SetRect(&place, x, y, x + width, y + height);
    }
    return place;
}
