// The caller greeting lookup: finds the ringing caller in the greeting list and publishes the
// caller's greeting for the answering recorder program.
#include <stdio.h>
#include <wchar.h>

#include "ansley.h"
#include "common/names.h"
#include "greeting_scan.h"

namespace {

#define CALLER_NUMBER_CHARS 50

// Publishes "no per-caller greeting", so that a caller never hears the previous caller's
// greeting. Returns false when the settings key cannot be opened.
bool PublishNoGreeting() {
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKeyAnswerMachine, 0, 0, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegistrySetDWORD(key, NULL, kValueQuellbrookFound, 0);
    RegistrySetString(key, NULL, kValueQuellbrookPlayFile, L"");
    RegCloseKey(key);
    return true;
}

// A failed lookup still withdraws the previous caller's greeting.
LONG FailLookup() {
    PublishNoGreeting();
    return -1;
}

}  // namespace

LONG LookUpCallerGreeting() {
    SetCallerGreeting(0, 0);

    WCHAR number[CALLER_NUMBER_CHARS];
    wmemset(number, 0, CALLER_NUMBER_CHARS);
    WCHAR* playFile =
        static_cast<WCHAR*>(LocalAlloc(LPTR, GREETING_PLAY_FILE_CHARS * sizeof(WCHAR)));
    WCHAR* answerTime =
        static_cast<WCHAR*>(LocalAlloc(LPTR, GREETING_ANSWER_TIME_CHARS * sizeof(WCHAR)));

    HKEY phone;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKeyPhoneState, 0, 0, &phone) != ERROR_SUCCESS) {
        LocalFree(playFile);
        LocalFree(answerTime);
        return FailLookup();
    }
    RegistryGetString(phone, NULL, kValueIncomingCallerNumber, number, CALLER_NUMBER_CHARS);
    RegCloseKey(phone);
    NKDbgPrintfW(L"incomingNumber= %s\r\n", number);

    if (!playFile || !answerTime) {
        NKDbgPrintfW(L"Out of memory!\n");
        LocalFree(playFile);
        LocalFree(answerTime);
        return FailLookup();
    }

    size_t numberLength = wcslen(number);
    NKDbgPrintfW(L" RegNumber_len =%d\r\n", static_cast<int>(numberLength));
    if (numberLength >= kListNumberKeyLength) {
        // The key as copied, before its leading spaces are skipped.
        NKDbgPrintfW(L" RegNumber2 = [%s] \r\n", number + numberLength - kListNumberKeyLength);
    }
    WCHAR numberKey[GREETING_NUMBER_KEY_CHARS];
    if (!BuildNumberKey(number, numberKey)) {
        // A withheld or short number, or one whose key is all spaces, has no entry of its own.
        NKDbgPrintfW(L"No Quellbrook!\r\n");
        LocalFree(playFile);
        LocalFree(answerTime);
        return FailLookup();
    }

    FILE* list = _wfopen(kListFilePath, L"r");
    if (!list) {
        NKDbgPrintfW(L"Can not find the xml file\n");
        LocalFree(playFile);
        LocalFree(answerTime);
        return FailLookup();
    }
    rewind(list);
    GreetingScanSkip skip;
    GreetingScanResult scan = ScanGreetingList(list, numberKey, playFile, answerTime, &skip);
    fclose(list);
    if (skip.reason != kGreetingNothingSkipped) {
        NKDbgPrintfW(L"Quellbrooks.xml line %u: %s\r\n", static_cast<unsigned>(skip.line),
                     GreetingSkipText(skip.reason));
    }

    HKEY settings;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKeyAnswerMachine, 0, 0, &settings) != ERROR_SUCCESS) {
        LocalFree(playFile);
        LocalFree(answerTime);
        return -2;
    }
    if (scan == kGreetingFound) {
        NKDbgPrintfW(L"playFile=%s\r\n", playFile);
        NKDbgPrintfW(L"answerTime=%s\r\n", answerTime);
        RegistrySetDWORD(settings, NULL, kValueQuellbrookFound, 1);
        RegistrySetString(settings, NULL, kValueQuellbrookPlayFile, playFile);
        SetCallerGreeting(1, static_cast<LONG>(wcstol(answerTime, NULL, 10)));
    } else {
        NKDbgPrintfW(L"No Quellbrook!\r\n");
        RegistrySetDWORD(settings, NULL, kValueQuellbrookFound, 0);
        RegistrySetString(settings, NULL, kValueQuellbrookPlayFile, L"");
        SetCallerGreeting(0, 0);
    }
    RegCloseKey(settings);
    LocalFree(playFile);
    LocalFree(answerTime);
    return 0;
}
