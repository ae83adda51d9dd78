// The line scanner of the per-caller greeting list.
//
// The service does not parse the list as XML: it reads it line by line, looks for the caller's
// number key anywhere in a line, and takes the first PlayFile and AnswerTime values on the lines
// after the first matching line. The list's writer lays out every field on a line of its own.
#pragma once

#include <stdio.h>
#include <windows.h>

// Buffer sizes in characters, terminator included.
#define GREETING_LINE_CHARS 256
#define GREETING_PLAY_FILE_CHARS 50
#define GREETING_ANSWER_TIME_CHARS 5
#define GREETING_NUMBER_KEY_CHARS 7

enum GreetingScanResult {
    kGreetingFound,     // both values were taken
    kGreetingNotFound,  // no matching line, or an entry without both values
    kGreetingTooLong,   // a value does not fit its buffer: no greeting (never cut)
};

// Builds the number key (the last six characters of the caller number, leading spaces removed).
// Returns false when the number has fewer than six characters, or when they are all spaces: an
// empty key would match every line.
bool BuildNumberKey(LPCWSTR number, WCHAR key[GREETING_NUMBER_KEY_CHARS]);

// Why the scan passed over what it read, for the service's trace.
enum GreetingSkipReason {
    kGreetingNothingSkipped,
    kGreetingLineNotText,        // the line is not UTF-8 text: the scan ends there
    kGreetingPlayFileTooLong,    // a PlayFile of 50 characters or more
    kGreetingAnswerTimeTooLong,  // an AnswerTime of 5 characters or more
    kGreetingAnswerTimeInvalid,  // an AnswerTime that is not a number of seconds from 0 to 9999
};

struct GreetingScanSkip {
    GreetingSkipReason reason;
    DWORD line;  // 1-based line of the file
};

// Scans the open list file from its start. The values are decoded (XML character references).
// When the scan passed over something it could not take, *skip (if given) tells the first such
// line and why; it does not change the result.
GreetingScanResult ScanGreetingList(FILE* file, LPCWSTR numberKey,
                                    WCHAR playFile[GREETING_PLAY_FILE_CHARS],
                                    WCHAR answerTime[GREETING_ANSWER_TIME_CHARS],
                                    GreetingScanSkip* skip = NULL);

// The skip reason as the trace words it.
LPCWSTR GreetingSkipText(GreetingSkipReason reason);

// Removes a trailing line end ("\n", "\r\n"); a line without one is left whole.
void StripLineEnd(LPWSTR line);

// Decodes the XML character references of a value (&lt; &gt; &amp; &quot; &apos; &#N; &#xN;) in
// place. An unknown reference is kept as written.
void DecodeXmlText(LPWSTR text);
