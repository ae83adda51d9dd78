#include "help_document.h"

#include <wchar.h>
#include <wctype.h>

namespace {

struct PageReader {
    std::vector<HelpBlock> blocks;
    std::wstring paragraph;
    bool heading = false;
    int skipping = 0;  // depth of head, script and style elements

    void Add(wchar_t character) {
        if (skipping > 0) {
            return;
        }
        if (iswspace(character) || character == 0xA0) {
            if (!paragraph.empty() && paragraph.back() != L' ') {
                paragraph.push_back(L' ');
            }
            return;
        }
        paragraph.push_back(character);
    }

    void EndParagraph() {
        while (!paragraph.empty() && paragraph.back() == L' ') {
            paragraph.pop_back();
        }
        if (!paragraph.empty()) {
            blocks.push_back(HelpBlock{paragraph, heading});
        }
        paragraph.clear();
    }

    void Tag(const std::wstring& name, bool closing) {
        if (name == L"head" || name == L"script" || name == L"style" || name == L"title") {
            skipping += closing ? (skipping > 0 ? -1 : 0) : 1;
            return;
        }
        const bool isHeading =
            name.size() == 2 && name[0] == L'h' && name[1] >= L'1' && name[1] <= L'6';
        if (isHeading) {
            EndParagraph();
            heading = !closing;
            return;
        }
        if (name == L"p" || name == L"br" || name == L"li" || name == L"div" || name == L"tr" ||
            name == L"ul" || name == L"ol" || name == L"table") {
            EndParagraph();
        }
    }
};

// The character a reference stands for, or 0 when it is none this reader knows.
wchar_t Reference(const std::wstring& name) {
    static const struct {
        const wchar_t* name;
        wchar_t character;
    } kNamed[] = {{L"amp", L'&'},     {L"lt", L'<'},      {L"gt", L'>'},       {L"quot", L'"'},
                  {L"apos", L'\''},   {L"nbsp", 0xA0},    {L"laquo", 0xAB},    {L"raquo", 0xBB},
                  {L"mdash", 0x2014}, {L"ndash", 0x2013}, {L"hellip", 0x2026}, {L"copy", 0xA9}};
    if (name.size() > 1 && name[0] == L'#') {
        const bool hex = name[1] == L'x' || name[1] == L'X';
        wchar_t* end = NULL;
        const wchar_t* digits = name.c_str() + (hex ? 2 : 1);
        const unsigned long code = wcstoul(digits, &end, hex ? 16 : 10);
        return (end != digits && *end == L'\0' && code > 0 && code <= 0x10FFFF)
                   ? static_cast<wchar_t>(code)
                   : 0;
    }
    for (const auto& each : kNamed) {
        if (name == each.name) {
            return each.character;
        }
    }
    return 0;
}

}  // namespace

std::vector<HelpBlock> ParseHelpDocument(const std::wstring& html) {
    PageReader reader;
    size_t at = 0;
    while (at < html.size()) {
        const wchar_t character = html[at];
        if (character == L'<') {
            const size_t end = html.find(L'>', at);
            if (end == std::wstring::npos) {
                break;  // a cut tag ends the page
            }
            if (html.compare(at, 4, L"<!--") == 0) {
                const size_t comment = html.find(L"-->", at + 4);
                at = comment == std::wstring::npos ? html.size() : comment + 3;
                continue;
            }
            size_t name_at = at + 1;
            const bool closing = name_at < end && html[name_at] == L'/';
            if (closing) {
                ++name_at;
            }
            std::wstring name;
            while (name_at < end && iswalnum(html[name_at])) {
                name.push_back(static_cast<wchar_t>(towlower(html[name_at])));
                ++name_at;
            }
            reader.Tag(name, closing);
            at = end + 1;
        } else if (character == L'&') {
            const size_t end = html.find(L';', at);
            const wchar_t decoded = (end != std::wstring::npos && end - at <= 10)
                                        ? Reference(html.substr(at + 1, end - at - 1))
                                        : 0;
            if (decoded != 0) {
                reader.Add(decoded);
                at = end + 1;
            } else {
                reader.Add(character);  // a bare ampersand is itself
                ++at;
            }
        } else {
            reader.Add(character);
            ++at;
        }
    }
    reader.EndParagraph();
    return reader.blocks;
}

std::wstring HelpDocumentPath(LPCWSTR reference) {
    std::wstring path = reference != NULL ? reference : L"";
    if (path.compare(0, 5, L"file:") == 0) {
        path.erase(0, 5);
    }
    const size_t anchor = path.find(L'#');
    if (anchor != std::wstring::npos) {
        path.erase(anchor);
    }
    return path;
}
