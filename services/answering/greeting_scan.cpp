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
    if (end < start) {
        // A closing tag before the opening one: the line holds no value.
        return Taken::kNone;
    }
    size_t length = static_cast<size_t>(end - start);
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
    return key[0] != L'\0';
}

LPCWSTR GreetingSkipText(GreetingSkipReason reason) {
    switch (reason) {
        case kGreetingLineNotText:
            return L"not UTF-8 text";
        case kGreetingPlayFileTooLong:
            return L"PlayFile longer than 49 characters";
        case kGreetingAnswerTimeTooLong:
            return L"AnswerTime longer than 4 characters";
        case kGreetingAnswerTimeInvalid:
            return L"AnswerTime not a number of seconds from 0 to 9999";
        default:
            return L"nothing skipped";
    }
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

namespace {

// Whether an AnswerTime text is a whole number of seconds that the delay can use.
bool IsSecondsText(LPCWSTR text) {
    if (!*text) {
        return false;
    }
    for (LPCWSTR c = text; *c; ++c) {
        if (*c < L'0' || *c > L'9') {
            return false;
        }
    }
    return true;
}

void Note(GreetingScanSkip* skip, GreetingSkipReason reason, DWORD line) {
    if (skip->reason == kGreetingNothingSkipped) {
        skip->reason = reason;
        skip->line = line;
    }
}

GreetingScanResult ScanLines(FILE* file, LPCWSTR numberKey,
                             WCHAR playFile[GREETING_PLAY_FILE_CHARS],
                             WCHAR answerTime[GREETING_ANSWER_TIME_CHARS], GreetingScanSkip* skip) {
    WCHAR line[GREETING_LINE_CHARS];
    bool playFound = false;
    bool timeFound = false;
    bool insideEntry = false;
    DWORD lineNumber = 0;
    while (!feof(file)) {
        if (!fgetws(line, GREETING_LINE_CHARS, file)) {
            if (ferror(file)) {
                Note(skip, kGreetingLineNotText, lineNumber + 1);
            }
            break;
        }
        // A line longer than the buffer arrives in pieces; each piece counts as one line.
        ++lineNumber;
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
                    Note(skip, kGreetingPlayFileTooLong, lineNumber);
                    return kGreetingTooLong;
                }
                playFound = taken == Taken::kTaken;
            }
            if (!timeFound) {
                Taken taken = TakeValue(line, kListTagAnswerTimeOpen, kListTagAnswerTimeClose,
                                        answerTime, GREETING_ANSWER_TIME_CHARS);
                if (taken == Taken::kTooLong) {
                    Note(skip, kGreetingAnswerTimeTooLong, lineNumber);
                    return kGreetingTooLong;
                }
                timeFound = taken == Taken::kTaken;
                if (timeFound && !IsSecondsText(answerTime)) {
                    // Still taken, as the delay reads it (a negative time answers at once).
                    Note(skip, kGreetingAnswerTimeInvalid, lineNumber);
                }
            }
        }
        if (wcsstr(line, numberKey)) {
            insideEntry = true;
        }
    }
    return playFound && timeFound ? kGreetingFound : kGreetingNotFound;
}

}  // namespace

GreetingScanResult ScanGreetingList(FILE* file, LPCWSTR numberKey,
                                    WCHAR playFile[GREETING_PLAY_FILE_CHARS],
                                    WCHAR answerTime[GREETING_ANSWER_TIME_CHARS],
                                    GreetingScanSkip* skip) {
    GreetingScanSkip noted = {kGreetingNothingSkipped, 0};
    GreetingScanResult result = ScanLines(file, numberKey, playFile, answerTime, &noted);
    if (skip) {
        *skip = noted;
    }
    return result;
}
