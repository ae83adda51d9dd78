#include "greeting_list.h"

#include <objbase.h>
#include <oleauto.h>
#include <strsafe.h>
#include <wchar.h>

#include "common/names.h"
#include "greeting_manager_resources.h"

namespace {

HINSTANCE g_strings = NULL;

const int kMessageChars = 256;
// Set-aside copies of unreadable lists: "Quellbrooks.xml.bad", then ".bad1", ".bad2", ...
const int kSetAsideTries = 100;
// An unreadable list that could not be set aside: saves refuse to write over it, so that its
// entries are never lost. Empty when there is none.
WCHAR g_keptUnreadableList[MAX_PATH] = L"";

template <typename T>
void Release(T** object) {
    if (*object) {
        (*object)->Release();
        *object = NULL;
    }
}

void ShowListMessage(UINT id) {
    WCHAR text[kMessageChars];
    if (LoadStringW(g_strings, id, text, kMessageChars) <= 0) {
        text[0] = L'\0';
    }
    MessageBoxW(NULL, text, L"", MB_OK);
}

// A field text with its line breaks turned into spaces, so that every field stays on one line.
BSTR FieldText(LPCWSTR text) {
    BSTR value = SysAllocString(text);
    if (value) {
        for (WCHAR* c = value; *c; ++c) {
            if (*c == L'\r' || *c == L'\n') {
                *c = L' ';
            }
        }
    }
    return value;
}

HRESULT AppendField(IXMLDOMDocument* document, IXMLDOMNode* item, LPCWSTR name, LPCWSTR text) {
    BSTR tag = SysAllocString(name);
    IXMLDOMElement* field = NULL;
    HRESULT hr = document->createElement(tag, &field);
    SysFreeString(tag);
    if (FAILED(hr)) {
        return hr;
    }
    BSTR value = FieldText(text);
    hr = field->put_text(value);
    SysFreeString(value);
    IXMLDOMNode* appended = NULL;
    if (SUCCEEDED(hr)) {
        hr = item->appendChild(field, &appended);
    }
    Release(&appended);
    Release(&field);
    return hr;
}

// Keeps a list that cannot be loaded beside the new one, so that its entries are not lost. When
// every set-aside name is taken or the move fails, the list stays where it is and is kept from
// being saved over.
void SetAsideUnreadableList(LPCWSTR path) {
    g_keptUnreadableList[0] = L'\0';
    if (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) {
        return;  // nothing there: a first start
    }
    WCHAR target[MAX_PATH + 16];
    for (int i = 0; i < kSetAsideTries; ++i) {
        if (i == 0) {
            wsprintfW(target, L"%s.bad", path);
        } else {
            wsprintfW(target, L"%s.bad%d", path, i);
        }
        if (GetFileAttributesW(target) == INVALID_FILE_ATTRIBUTES) {
            if (MoveFileW(path, target)) {
                return;
            }
            break;
        }
    }
    StringCchCopyW(g_keptUnreadableList, MAX_PATH, path);
}

// Builds the empty list in memory: the declaration and the document element.
void CreateEmptyList(IXMLDOMDocument* document) {
    BSTR target = SysAllocString(kListDeclarationTarget);
    BSTR data = SysAllocString(kListDeclarationData);
    IXMLDOMProcessingInstruction* declaration = NULL;
    if (SUCCEEDED(document->createProcessingInstruction(target, data, &declaration))) {
        VARIANT first;
        VariantInit(&first);
        IXMLDOMNode* existingFirst = NULL;
        document->get_firstChild(&existingFirst);
        if (existingFirst) {
            first.vt = VT_UNKNOWN;
            first.punkVal = existingFirst;
        }
        IXMLDOMNode* inserted = NULL;
        document->insertBefore(declaration, first, &inserted);
        Release(&inserted);
        Release(&existingFirst);
    }
    SysFreeString(target);
    SysFreeString(data);
    Release(&declaration);

    BSTR rootName = SysAllocString(kListElementRoot);
    IXMLDOMElement* root = NULL;
    if (SUCCEEDED(document->createElement(rootName, &root))) {
        IXMLDOMNode* appended = NULL;
        document->appendChild(root, &appended);
        Release(&appended);
    }
    SysFreeString(rootName);
    Release(&root);
}

// The field of entry `index` at `position` when it has that name (the order the program
// writes), else the entry's field of that name wherever it stands; NULL when the entry or the
// field is not there. A field is never written under another field's name.
IXMLDOMNode* EntryField(GreetingList* list, long index, long position, LPCWSTR name) {
    IXMLDOMNode* entry = NULL;
    IXMLDOMNodeList* fields = NULL;
    IXMLDOMNode* found = NULL;
    if (list->children && list->children->get_item(index, &entry) == S_OK &&
        SUCCEEDED(entry->get_childNodes(&fields))) {
        long count = 0;
        fields->get_length(&count);
        for (long step = 0; step <= count && !found; ++step) {
            // The expected position first, then every field in order.
            const long i = step == 0 ? position : step - 1;
            IXMLDOMNode* field = NULL;
            BSTR fieldName = NULL;
            if (i < count && fields->get_item(i, &field) == S_OK &&
                SUCCEEDED(field->get_nodeName(&fieldName)) && fieldName &&
                wcscmp(fieldName, name) == 0) {
                found = field;
                field = NULL;
            }
            SysFreeString(fieldName);
            Release(&field);
        }
    }
    Release(&fields);
    Release(&entry);
    return found;
}

BOOL SetEntryField(GreetingList* list, long index, long position, LPCWSTR name, LPCWSTR text) {
    IXMLDOMNode* field = EntryField(list, index, position, name);
    if (!field) {
        return FALSE;
    }
    BSTR value = FieldText(text);
    HRESULT hr = field->put_text(value);
    SysFreeString(value);
    Release(&field);
    return SUCCEEDED(hr);
}

void ClearEntries(GreetingList* list) {
    list->checkContacts.clear();
    list->contactNames.clear();
    list->contactPhones.clear();
    list->playFiles.clear();
    list->answerTimes.clear();
    list->rootChildCount = 0;
}

void ReadField(GreetingList* list, IXMLDOMNode* field) {
    BSTR name = NULL;
    BSTR text = NULL;
    if (SUCCEEDED(field->get_nodeName(&name)) && SUCCEEDED(field->get_text(&text)) && name) {
        std::wstring value = text ? text : L"";
        if (wcscmp(name, kListElementCheckContact) == 0) {
            list->checkContacts.push_back(value);
        } else if (wcscmp(name, kListElementContactName) == 0) {
            list->contactNames.push_back(value);
        } else if (wcscmp(name, kListElementContactPhone) == 0) {
            list->contactPhones.push_back(value);
        } else if (wcscmp(name, kListElementPlayFile) == 0) {
            list->playFiles.push_back(value);
        } else if (wcscmp(name, kListElementAnswerTime) == 0) {
            list->answerTimes.push_back(value);
        }
    }
    SysFreeString(name);
    SysFreeString(text);
}

// Visits the fields of one Item. Returns FALSE when a sibling step fails.
BOOL ParseItem(GreetingList* list, IXMLDOMNode* item) {
    IXMLDOMNodeList* fields = NULL;
    if (FAILED(item->get_childNodes(&fields))) {
        return TRUE;
    }
    long count = 0;
    fields->get_length(&count);
    IXMLDOMNode* field = NULL;
    fields->get_item(0, &field);
    BOOL ok = TRUE;
    for (long i = 0; i < count && field; ++i) {
        ReadField(list, field);
        IXMLDOMNode* next = NULL;
        if (FAILED(field->get_nextSibling(&next))) {
            ok = FALSE;
            break;
        }
        Release(&field);
        field = next;
    }
    Release(&field);
    Release(&fields);
    return ok;
}

}  // namespace

void SetGreetingListStrings(HINSTANCE instance) {
    g_strings = instance;
}

void CloseListFile(GreetingList* list) {
    Release(&list->firstChild);
    Release(&list->children);
    Release(&list->root);
    Release(&list->document);
}

BOOL OpenListFile(GreetingList* list, LPCWSTR path) {
    if (FAILED(CoInitializeEx(NULL, COINIT_MULTITHREADED))) {
        return FALSE;
    }
    CloseListFile(list);
    if (FAILED(CoCreateInstance(CLSID_DOMDocument, NULL, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                IID_IXMLDOMDocument, reinterpret_cast<void**>(&list->document)))) {
        list->document = NULL;
        return FALSE;
    }

    VARIANT source;
    VariantInit(&source);
    source.vt = VT_BSTR;
    source.bstrVal = SysAllocString(path);
    VARIANT_BOOL loaded = VARIANT_FALSE;
    HRESULT hr = list->document->load(source, &loaded);
    VariantClear(&source);
    if (hr == S_OK) {
        g_keptUnreadableList[0] = L'\0';
    } else {
        SetAsideUnreadableList(path);
        CreateEmptyList(list->document);
        if (FAILED(SaveListFile(list))) {
            ShowListMessage(IDS_SAVE_SETTINGS_FAILED);
        }
    }

    if (list->document->get_documentElement(&list->root) != S_OK) {
        Release(&list->root);
        ShowListMessage(IDS_LOAD_ELEMENT_FAILED);
        return FALSE;
    }
    if (FAILED(list->root->get_childNodes(&list->children))) {
        list->children = NULL;
        ShowListMessage(IDS_LOAD_CHILD_FAILED);
        return FALSE;
    }
    if (list->children->get_item(0, &list->firstChild) != S_OK) {
        Release(&list->firstChild);
    }
    return TRUE;
}

BOOL ParseEntries(GreetingList* list) {
    ClearEntries(list);
    if (!list->children) {
        return FALSE;
    }
    long count = 0;
    list->children->get_length(&count);
    if (count < 0) {
        ShowListMessage(IDS_XML_SYNTAX_ERROR);
        return FALSE;
    }
    if (count == 0) {
        return TRUE;
    }
    list->rootChildCount = count;
    IXMLDOMNode* node = NULL;
    list->children->get_item(0, &node);
    BOOL ok = TRUE;
    for (long i = 0; i < count && node; ++i) {
        BSTR name = NULL;
        if (SUCCEEDED(node->get_nodeName(&name)) && name && wcscmp(name, kListElementItem) == 0) {
            ok = ParseItem(list, node);
        }
        SysFreeString(name);
        if (!ok) {
            break;
        }
        IXMLDOMNode* next = NULL;
        if (FAILED(node->get_nextSibling(&next))) {
            ok = FALSE;
            break;
        }
        Release(&node);
        node = next;
    }
    Release(&node);
    return ok;
}

BOOL AddGreetingEntry(GreetingList* list, LPCWSTR path, LPCWSTR contactName, LPCWSTR contactPhone) {
    if (!OpenListFile(list, path)) {
        return FALSE;
    }
    BSTR tag = SysAllocString(kListElementItem);
    IXMLDOMElement* item = NULL;
    HRESULT hr = list->document->createElement(tag, &item);
    SysFreeString(tag);
    if (FAILED(hr)) {
        return FALSE;
    }
    IXMLDOMNode* appended = NULL;
    hr = list->root->appendChild(item, &appended);
    Release(&appended);
    const LPCWSTR values[kListFieldCount] = {kListCheckContactValue, contactName, contactPhone,
                                             kSoundGreeting, kListDefaultAnswerTime};
    const LPCWSTR names[kListFieldCount] = {kListElementCheckContact, kListElementContactName,
                                            kListElementContactPhone, kListElementPlayFile,
                                            kListElementAnswerTime};
    for (uint32_t i = 0; i < kListFieldCount && SUCCEEDED(hr); ++i) {
        hr = AppendField(list->document, item, names[i], values[i]);
    }
    Release(&item);
    SaveListFile(list);
    return SUCCEEDED(hr);
}

BOOL RemoveGreetingEntries(GreetingList* list, const std::vector<long>& ascendingIndices) {
    if (!list->children || !list->root) {
        return FALSE;
    }
    long removed = 0;
    for (long index : ascendingIndices) {
        IXMLDOMNode* entry = NULL;
        if (list->children->get_item(index - removed, &entry) == S_OK) {
            IXMLDOMNode* old = NULL;
            if (SUCCEEDED(list->root->removeChild(entry, &old))) {
                ++removed;
            }
            Release(&old);
        }
        Release(&entry);
    }
    SaveListFile(list);
    return TRUE;
}

BOOL SetGreetingPlayFile(GreetingList* list, long index, LPCWSTR playFile) {
    return SetEntryField(list, index, kListFieldPlayFile, kListElementPlayFile, playFile);
}

BOOL SetGreetingAnswerTime(GreetingList* list, long index, LPCWSTR answerTime) {
    return SetEntryField(list, index, kListFieldAnswerTime, kListElementAnswerTime, answerTime);
}

BOOL GetEntryField(GreetingList* list, long index, LPCWSTR name, std::wstring* text) {
    IXMLDOMNode* entry = NULL;
    IXMLDOMNodeList* fields = NULL;
    BOOL found = FALSE;
    if (list->children && list->children->get_item(index, &entry) == S_OK &&
        SUCCEEDED(entry->get_childNodes(&fields))) {
        long count = 0;
        fields->get_length(&count);
        for (long i = 0; i < count && !found; ++i) {
            IXMLDOMNode* field = NULL;
            BSTR fieldName = NULL;
            if (fields->get_item(i, &field) == S_OK && SUCCEEDED(field->get_nodeName(&fieldName)) &&
                fieldName && wcscmp(fieldName, name) == 0) {
                BSTR value = NULL;
                if (SUCCEEDED(field->get_text(&value))) {
                    *text = value ? value : L"";
                    found = TRUE;
                }
                SysFreeString(value);
            }
            SysFreeString(fieldName);
            Release(&field);
        }
    }
    Release(&fields);
    Release(&entry);
    return found;
}

HRESULT SaveListFile(GreetingList* list) {
    if (!list->document) {
        return E_POINTER;
    }
    WCHAR path[MAX_PATH];
    if (LoadStringW(g_strings, IDS_LIST_FILE_PATH, path, MAX_PATH) <= 0) {
        return E_FAIL;
    }
    if (g_keptUnreadableList[0] && lstrcmpiW(path, g_keptUnreadableList) == 0) {
        return HRESULT_FROM_WIN32(ERROR_FILE_EXISTS);
    }
    VARIANT destination;
    VariantInit(&destination);
    destination.vt = VT_BSTR;
    destination.bstrVal = SysAllocString(path);
    HRESULT hr = list->document->save(destination);
    VariantClear(&destination);
    return hr;
}
