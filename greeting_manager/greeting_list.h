// The per-caller greeting list file and the procedures by which the greeting manager opens,
// reads, changes and saves it.
//
// The file is one XML document: the declaration, the document element Quellbrooks and one Item
// element per entry with five fields in a fixed order (CheckContact, ContactName, ContactPhone,
// PlayFile, AnswerTime). The answering service scans the file line by line, so every save writes
// each field on a line of its own.
#pragma once

#include <windows.h>
#include <msxml2.h>

#include <string>
#include <vector>

// One open document with what the last parse found. The main dialog and the rows page each keep
// one of their own.
struct GreetingList {
    IXMLDOMDocument* document;
    IXMLDOMElement* root;
    IXMLDOMNodeList* children;  // live: a removal shifts the later indices at once
    IXMLDOMNode* firstChild;    // item 0 of the child list, NULL for an empty list

    // The parsed content: five parallel lists in file order.
    std::vector<std::wstring> checkContacts;
    std::vector<std::wstring> contactNames;
    std::vector<std::wstring> contactPhones;
    std::vector<std::wstring> playFiles;
    std::vector<std::wstring> answerTimes;
    long rootChildCount;
};

// The module whose string table holds the messages and the list file's path (string 134).
void SetGreetingListStrings(HINSTANCE instance);

// Creates a new document, loads the file or creates it as an empty list, and keeps the document
// element, its child list and the list's first node. Returns FALSE on failure.
BOOL OpenListFile(GreetingList* list, LPCWSTR path);

// Fills the five lists and rootChildCount from the child list of the last OpenListFile.
BOOL ParseEntries(GreetingList* list);

// Reopens the file and appends an entry ("N", name, number, "greeting.amr", "10"), then saves.
BOOL AddGreetingEntry(GreetingList* list, LPCWSTR path, LPCWSTR contactName, LPCWSTR contactPhone);

// Removes the entries at these indices (ascending) through the live child list, then saves once.
BOOL RemoveGreetingEntries(GreetingList* list, const std::vector<long>& ascendingIndices);

// Sets the PlayFile (child 3) or AnswerTime (child 4) text of entry `index` in the document; the
// caller saves once after all the changes of one user action (SaveListFile). An entry whose
// fields stand in another order has the field of that name set; an entry without it, or an index
// past the entries, changes nothing and gives FALSE.
BOOL SetGreetingPlayFile(GreetingList* list, long index, LPCWSTR playFile);
BOOL SetGreetingAnswerTime(GreetingList* list, long index, LPCWSTR answerTime);

// The text of the field with this name in entry `index`, whatever its position; FALSE when the
// entry or the field is not there (an Item that lacks a field).
BOOL GetEntryField(GreetingList* list, long index, LPCWSTR name, std::wstring* text);

// Writes the whole document to the path of string 134.
HRESULT SaveListFile(GreetingList* list);

// Releases the document and its nodes.
void CloseListFile(GreetingList* list);
