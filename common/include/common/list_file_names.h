// The per-caller greeting list: one XML file that the greeting manager writes and the answering
// service scans line by line. The service does not parse XML; it looks for the caller's number
// and then for the literal tags below, so each field stands on one line with both its tags.
#pragma once

#include <cstdint>

// The list file; the greeting manager writes it after every change, the answering service reads
// it when a listed caller may be ringing.
inline constexpr wchar_t kListFilePath[] = L"\\Windows\\Quellbrooks.xml";

// Target and data of the list file's first node, the XML declaration.
inline constexpr wchar_t kListDeclarationTarget[] = L"xml";
inline constexpr wchar_t kListDeclarationData[] = L"version='1.0' encoding='utf-8'";
// The document element.
inline constexpr wchar_t kListElementRoot[] = L"Quellbrooks";
// One entry of the list, a child of the document element.
inline constexpr wchar_t kListElementItem[] = L"Item";
// Entry field 0: a flag text, always kListCheckContactValue; counts the entries.
inline constexpr wchar_t kListElementCheckContact[] = L"CheckContact";
// Entry field 1: the contact's display name.
inline constexpr wchar_t kListElementContactName[] = L"ContactName";
// Entry field 2: the caller's number as the contact store holds it; precedes fields 3 and 4.
inline constexpr wchar_t kListElementContactPhone[] = L"ContactPhone";
// Entry field 3: the greeting file name (kSoundGreeting, or a file of the greeting folder).
inline constexpr wchar_t kListElementPlayFile[] = L"PlayFile";
// Entry field 4: the answer delay in whole seconds, decimal text.
inline constexpr wchar_t kListElementAnswerTime[] = L"AnswerTime";

// Position of each field among an entry's children; the greeting manager addresses the greeting
// and the delay by position.
inline constexpr uint32_t kListFieldCheckContact = 0;
inline constexpr uint32_t kListFieldContactName = 1;
inline constexpr uint32_t kListFieldContactPhone = 2;
inline constexpr uint32_t kListFieldPlayFile = 3;
inline constexpr uint32_t kListFieldAnswerTime = 4;
inline constexpr uint32_t kListFieldCount = 5;

// The tags as the answering service looks for them in a line of the file.
inline constexpr wchar_t kListTagPlayFileOpen[] = L"<PlayFile>";
inline constexpr wchar_t kListTagPlayFileClose[] = L"</PlayFile>";
inline constexpr wchar_t kListTagAnswerTimeOpen[] = L"<AnswerTime>";
inline constexpr wchar_t kListTagAnswerTimeClose[] = L"</AnswerTime>";

// Text of CheckContact in every entry.
inline constexpr wchar_t kListCheckContactValue[] = L"N";
// AnswerTime of a new entry.
inline constexpr wchar_t kListDefaultAnswerTime[] = L"10";

// Longest texts, in characters without the terminator, that the writer stores and the reader
// takes: the service reads a PlayFile into 50 and an AnswerTime into 5 characters.
inline constexpr uint32_t kListMaxContactName = 49;
inline constexpr uint32_t kListMaxContactPhone = 19;
inline constexpr uint32_t kListMaxPlayFile = 49;
inline constexpr uint32_t kListMaxAnswerTime = 4;
// Number of trailing characters of the caller's number by which the service finds an entry.
inline constexpr uint32_t kListNumberKeyLength = 6;
