#include "phone/call_history.h"

#include <cstdio>
#include <cwchar>
#include <iterator>

namespace tovarin::emulator::phone {
namespace {

constexpr wchar_t kValueUnseen[] = L"Unseen";

struct DirectionWord {
    CallDirection direction;
    const wchar_t* word;
};
constexpr DirectionWord kDirectionWords[] = {
    {CallDirection::Incoming, L"incoming"},
    {CallDirection::Missed, L"missed"},
    {CallDirection::Outgoing, L"outgoing"},
};

// The history's key, made when missing; closed when it goes.
class HistoryKey {
  public:
    HistoryKey() {
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kKeyCallHistory, 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key_, nullptr) != ERROR_SUCCESS) {
            key_ = nullptr;
        }
    }
    ~HistoryKey() {
        if (key_ != nullptr) {
            RegCloseKey(key_);
        }
    }
    HistoryKey(const HistoryKey&) = delete;
    HistoryKey& operator=(const HistoryKey&) = delete;

    bool Open() const { return key_ != nullptr; }

    std::wstring String(const std::wstring& name) const {
        wchar_t text[128] = {};
        DWORD type = 0;
        DWORD size = sizeof text - sizeof text[0];
        if (RegQueryValueExW(key_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text),
                             &size) != ERROR_SUCCESS ||
            type != REG_SZ) {
            return L"";
        }
        return text;
    }
    bool SetString(const std::wstring& name, const std::wstring& text) const {
        return RegSetValueExW(
                   key_, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }
    DWORD Dword(const wchar_t* name) const {
        DWORD value = 0;
        DWORD type = 0;
        DWORD size = sizeof value;
        if (RegQueryValueExW(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
                ERROR_SUCCESS ||
            type != REG_DWORD) {
            return 0;
        }
        return value;
    }
    bool SetDword(const wchar_t* name, DWORD value) const {
        return RegSetValueExW(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                              sizeof value) == ERROR_SUCCESS;
    }

  private:
    HKEY key_ = nullptr;
};

std::wstring EntryName(size_t index) {
    return std::to_wstring(index);
}

// The local time `ms` milliseconds ago.
SYSTEMTIME LocalTimeBefore(DWORD ms) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    FILETIME file_time{};
    if (ms == 0 || !SystemTimeToFileTime(&now, &file_time)) {
        return now;
    }
    ULONGLONG ticks =
        (static_cast<ULONGLONG>(file_time.dwHighDateTime) << 32) | file_time.dwLowDateTime;
    ticks -= static_cast<ULONGLONG>(ms) * 10000;  // FILETIME counts 100 ns
    file_time.dwLowDateTime = static_cast<DWORD>(ticks);
    file_time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    SYSTEMTIME then{};
    return FileTimeToSystemTime(&file_time, &then) ? then : now;
}

}  // namespace

bool CallRecord::operator==(const CallRecord& other) const {
    return direction == other.direction && number == other.number &&
           started.wYear == other.started.wYear && started.wMonth == other.started.wMonth &&
           started.wDay == other.started.wDay && started.wHour == other.started.wHour &&
           started.wMinute == other.started.wMinute && started.wSecond == other.started.wSecond;
}

std::wstring CallRecordText(const CallRecord& record) {
    const wchar_t* word = L"incoming";
    for (const DirectionWord& known : kDirectionWords) {
        if (known.direction == record.direction) {
            word = known.word;
        }
    }
    wchar_t text[64] = {};
    const SYSTEMTIME& at = record.started;
    std::swprintf(text, std::size(text), L"%ls %04u-%02u-%02u %02u:%02u:%02u ", word,
                  unsigned{at.wYear}, unsigned{at.wMonth}, unsigned{at.wDay}, unsigned{at.wHour},
                  unsigned{at.wMinute}, unsigned{at.wSecond});
    return text + record.number;
}

std::optional<CallRecord> ParseCallRecord(const std::wstring& text) {
    const size_t word_end = text.find(L' ');
    if (word_end == std::wstring::npos) {
        return std::nullopt;
    }
    CallRecord record;
    bool known_word = false;
    for (const DirectionWord& known : kDirectionWords) {
        if (text.compare(0, word_end, known.word) == 0) {
            record.direction = known.direction;
            known_word = true;
        }
    }
    unsigned year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    int consumed = 0;
    if (!known_word ||
        std::swscanf(text.c_str() + word_end, L" %4u-%2u-%2u %2u:%2u:%2u %n", &year, &month, &day,
                     &hour, &minute, &second, &consumed) != 6 ||
        month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 59) {
        return std::nullopt;
    }
    record.started.wYear = static_cast<WORD>(year);
    record.started.wMonth = static_cast<WORD>(month);
    record.started.wDay = static_cast<WORD>(day);
    record.started.wHour = static_cast<WORD>(hour);
    record.started.wMinute = static_cast<WORD>(minute);
    record.started.wSecond = static_cast<WORD>(second);
    record.number = text.substr(word_end + static_cast<size_t>(consumed));
    return record;
}

bool RecordCallInHistory(CallDirection direction, const std::wstring& number, DWORD talked_ms) {
    HistoryKey key;
    if (!key.Open()) {
        return false;
    }
    // Each entry moves one place down; the last one falls off.
    for (size_t index = kCallHistoryLimit - 1; index > 0; --index) {
        const std::wstring older = key.String(EntryName(index - 1));
        if (!older.empty() && !key.SetString(EntryName(index), older)) {
            return false;
        }
    }
    const CallRecord record{direction, LocalTimeBefore(talked_ms), number};
    if (!key.SetString(EntryName(0), CallRecordText(record))) {
        return false;
    }
    return direction != CallDirection::Missed ||
           key.SetDword(kValueUnseen, key.Dword(kValueUnseen) + 1);
}

std::vector<CallRecord> ReadCallHistory() {
    std::vector<CallRecord> history;
    HistoryKey key;
    if (!key.Open()) {
        return history;
    }
    for (size_t index = 0; index < kCallHistoryLimit; ++index) {
        if (std::optional<CallRecord> record = ParseCallRecord(key.String(EntryName(index)))) {
            history.push_back(std::move(*record));
        }
    }
    return history;
}

DWORD UnseenMissedCalls() {
    HistoryKey key;
    return key.Open() ? key.Dword(kValueUnseen) : 0;
}

void MarkCallHistorySeen() {
    HistoryKey key;
    if (key.Open() && key.Dword(kValueUnseen) != 0) {
        key.SetDword(kValueUnseen, 0);
    }
}

}  // namespace tovarin::emulator::phone
