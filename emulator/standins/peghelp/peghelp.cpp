// peghelp.exe as the emulator stands it in: the help viewer. It shows the document named by its
// command line ("file:\Windows\AnswerMachine.htm#Main_Contents") in a window titled "Справка"
// until it is closed, and traces "peghelp: <document>". The page names the document and, when
// the device has it, shows its headings and paragraphs (UTF-8 HTML); it scrolls.
#include <windows.h>

#include <string>
#include <vector>

#include "help_document.h"
#include "program_window.h"

namespace {

// The document's text, or false when the file cannot be read.
bool ReadDocument(const std::wstring& path, std::wstring* text) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, NULL) && read > 0) {
        bytes.append(buffer, read);
    }
    CloseHandle(file);
    if (bytes.empty()) {
        text->clear();
        return true;
    }
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), NULL, 0);
    if (length <= 0) {
        return false;
    }
    text->assign(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &(*text)[0],
                        length);
    return true;
}

}  // namespace

extern "C" __declspec(dllexport) int WINAPI
    WinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR lpCmdLine, int) {
    LPCWSTR document = (lpCmdLine != NULL && *lpCmdLine != L'\0') ? lpCmdLine : L"(no document)";
    const std::wstring path = HelpDocumentPath(lpCmdLine);
    const size_t slash = path.rfind(L'\\');
    const std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);

    std::wstring html;
    std::vector<HelpBlock> content;
    if (!path.empty() && ReadDocument(path, &html)) {
        content = ParseHelpDocument(html);
    } else {
        content.push_back(HelpBlock{L"Документ не найден на устройстве.", false});
    }
    std::vector<PageBlock> page;
    page.push_back(PageBlock{name.empty() ? document : name.c_str(), FALSE});
    for (const HelpBlock& block : content) {
        page.push_back(PageBlock{block.text.c_str(), block.heading ? TRUE : FALSE});
    }
    return RunProgramWindow(hInstance, L"peghelp", L"peghelp", L"Справка", document, page.data(),
                            static_cast<int>(page.size()));
}
