#include "greeting_scan.h"

#include <wchar.h>

#include "common/names.h"

namespace {

// Decoded value of one reference starting after '&' and ending before ';', or 0 when unknown.
wchar_t DecodeReference(LPCWSTR start, size_t length) {
    struct Named {
        LPCWSTR name;
        wchar_t value;
    };
    static const Named kNamed[] = {
        {L"lt", L'<'}, {L"gt", L'>'}, {L"amp", L'&'}, {L"quot", L'"'}, {L"apos", L'\''}};
    for (const Named& named : kNamed) {
        if (wcslen(named.name) == length && wcsncmp(start, named.name, length) == 0) {
            return named.value;
        }
    }
    if (length >= 2 && start[0] == L'#') {
        bool hex = start[1] == L'x' || start[1] == L'X';
        size_t first = hex ? 2 : 1;
        if (first >= length) {
            return 0;
        }
        unsigned long code = 0;
        for (size_t i = first; i < length; ++i) {
            wchar_t c = start[i];
            unsigned digit;
            if (c >= L'0' && c <= L'9') {
                digit = c - L'0';
            } else if (hex && c >= L'a' && c <= L'f') {
                digit = c - L'a' + 10;
            } else if (hex && c >= L'A' && c <= L'F') {
                digit = c - L'A' + 10;
            } else {
                return 0;
            }
            code = code * (hex ? 16 : 10) + digit;
            if (code > 0x10FFFF) {
                return 0;
            }
        }
        return code == 0 ? 0 : static_cast<wchar_t>(code);
    }
    return 0;
}

// Copies the text between the first `open` tag and the first `close` tag of the line, decoded,
// into value. Returns false when the line does not hold both tags.
enum class Taken { kNone, kTaken, kTooLong };

Taken TakeValue(LPCWSTR line, LPCWSTR open, LPCWSTR close, LPWSTR value, size_t capacity) {
    LPCWSTR start = wcsstr(line, open);
    LPCWSTR end = wcsstr(line, close);
    if (!start || !end) {
        return Taken::kNone;
    }
    start += wcslen(open);
    // A closing tag before the opening one holds no value.
    size_t length = end > start ? static_cast<size_t>(end - start) : 0;
    WCHAR decoded[GREETING_LINE_CHARS];
    wmemcpy(decoded, start, length);
    decoded[length] = L'\0';
    DecodeXmlText(decoded);
    if (wcslen(decoded) >= capacity) {
        return Taken::kTooLong;
    }
    wcscpy(value, decoded);
    return Taken::kTaken;
}

}  // namespace

bool BuildNumberKey(LPCWSTR number, WCHAR key[GREETING_NUMBER_KEY_CHARS]) {
    size_t length = wcslen(number);
    if (length < kListNumberKeyLength) {
        return false;
    }
    LPCWSTR tail = number + length - kListNumberKeyLength;
    while (*tail == L' ') {
        ++tail;
    }
    wcscpy(key, tail);
    return true;
}

void StripLineEnd(LPWSTR line) {
    size_t length = wcslen(line);
    if (length > 0 && line[length - 1] == L'\n') {
        line[--length] = L'\0';
        if (length > 0 && line[length - 1] == L'\r') {
            line[--length] = L'\0';
        }
    }
}

void DecodeXmlText(LPWSTR text) {
    LPWSTR out = text;
    for (LPCWSTR in = text; *in;) {
        if (*in == L'&') {
            LPCWSTR semicolon = wcschr(in + 1, L';');
            wchar_t decoded = 0;
            if (semicolon) {
                decoded = DecodeReference(in + 1, static_cast<size_t>(semicolon - in - 1));
            }
            if (decoded) {
                *out++ = decoded;
                in = semicolon + 1;
                continue;
            }
        }
        *out++ = *in++;
    }
    *out = L'\0';
}

GreetingScanResult ScanGreetingList(FILE* file, LPCWSTR numberKey,
                                    WCHAR playFile[GREETING_PLAY_FILE_CHARS],
                                    WCHAR answerTime[GREETING_ANSWER_TIME_CHARS]) {
    WCHAR line[GREETING_LINE_CHARS];
    bool playFound = false;
    bool timeFound = false;
    bool insideEntry = false;
    while (!feof(file)) {
        if (!fgetws(line, GREETING_LINE_CHARS, file)) {
            break;
        }
        StripLineEnd(line);
        if (playFound && timeFound) {
            break;
        }
        if (insideEntry) {
            // The first value of each kind after the matching line is the caller's.
            if (!playFound) {
                Taken taken = TakeValue(line, kListTagPlayFileOpen, kListTagPlayFileClose, playFile,
                                        GREETING_PLAY_FILE_CHARS);
                if (taken == Taken::kTooLong) {
                    return kGreetingTooLong;
                }
                playFound = taken == Taken::kTaken;
            }
            if (!timeFound) {
                Taken taken = TakeValue(line, kListTagAnswerTimeOpen, kListTagAnswerTimeClose,
                                        answerTime, GREETING_ANSWER_TIME_CHARS);
                if (taken == Taken::kTooLong) {
                    return kGreetingTooLong;
                }
                timeFound = taken == Taken::kTaken;
            }
        }
        if (wcsstr(line, numberKey)) {
            insideEntry = true;
        }
    }
    return playFound && timeFound ? kGreetingFound : kGreetingNotFound;
}
