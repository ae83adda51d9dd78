// \Windows\ctlpnl.exe, the control-panel host, as the emulator provides it. Each open of an
// applet is one run of this program, as on the phone:
//
//   ctlpnl.exe LIBRARY,N[,P]   opens applet N of LIBRARY (a file in \Windows) on page P
//   ctlpnl.exe LIBRARY         lists the library's applets
//
// It loads the library, sends CPL_INIT (0: the library declines, and is let go at once),
// CPL_GETCOUNT and CPL_NEWINQUIRE for every applet (and CPL_IDNAME when listing), then, to open,
// CPL_DBLCLK with lParam1 = N | P << 16 from the thread of its own window, which owns what the
// applet shows; last CPL_STOP for every applet and CPL_EXIT before the library is unloaded.
// Every step is traced under "ctlpnl".
#include <cwchar>
#include <string>
#include <vector>

#include <windows.h>
#include <cpl.h>

namespace {

enum ExitCode {
    kDone = 0,
    kBadCommandLine = 1,
    kNoLibrary = 2,
    kDeclined = 3,
    kNoSuchApplet = 4,
};

struct Request {
    std::wstring library;
    bool open = false;
    unsigned applet = 0;
    unsigned page = 0;
};

std::wstring Trimmed(std::wstring text) {
    const wchar_t* blanks = L" \t\"";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::wstring::npos) {
        return L"";
    }
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool ParseNumber(const std::wstring& text, unsigned* value) {
    std::wstring digits = Trimmed(text);
    if (digits.empty() || digits.size() > 5 ||
        digits.find_first_not_of(L"0123456789") != std::wstring::npos) {
        return false;
    }
    *value = static_cast<unsigned>(wcstoul(digits.c_str(), NULL, 10));
    return *value <= 0xFFFF;
}

bool ParseRequest(LPCWSTR commandLine, Request* request) {
    std::vector<std::wstring> parts;
    std::wstring text = commandLine != NULL ? commandLine : L"";
    size_t start = 0;
    for (;;) {
        size_t comma = text.find(L',', start);
        parts.push_back(Trimmed(text.substr(start, comma - start)));
        if (comma == std::wstring::npos) {
            break;
        }
        start = comma + 1;
    }
    if (parts.empty() || parts[0].empty() || parts.size() > 3) {
        return false;
    }
    request->library = parts[0];
    request->open = parts.size() >= 2;
    if (request->open && !ParseNumber(parts[1], &request->applet)) {
        return false;
    }
    return parts.size() < 3 || ParseNumber(parts[2], &request->page);
}

LRESULT CALLBACK HostWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// The host's own window: hidden, the parent the applets are given as hwndCPl.
HWND CreateHostWindow(HINSTANCE instance) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = HostWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"ctlpnl";
    if (RegisterClassW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return NULL;
    }
    return CreateWindowExW(0, L"ctlpnl", L"", WS_POPUP, 0, 0, 0, 0, NULL, NULL, instance, NULL);
}

class AppletLibrary {
  public:
    AppletLibrary(LPCWSTR name, HWND host) : name_(name), host_(host) {}
    ~AppletLibrary() {
        if (module_ != NULL) {
            FreeLibrary(module_);
        }
    }

    bool Load() {
        std::wstring path = name_;
        if (path.find(L'\\') == std::wstring::npos) {
            path = L"\\Windows\\" + path;
        }
        module_ = LoadLibraryW(path.c_str());
        if (module_ == NULL) {
            NKDbgPrintfW(L"ctlpnl: cannot load %s (error %u)\r\n", path.c_str(), GetLastError());
            return false;
        }
        entry_ = reinterpret_cast<APPLET_PROC>(GetProcAddressW(module_, L"CPlApplet"));
        if (entry_ == NULL) {
            NKDbgPrintfW(L"ctlpnl: %s has no CPlApplet\r\n", name_);
            return false;
        }
        return true;
    }

    LONG Send(UINT message, LPARAM lParam1, LPARAM lParam2) {
        return entry_(host_, message, lParam1, lParam2);
    }

    LPCWSTR name() const { return name_; }

  private:
    LPCWSTR name_;
    HWND host_;
    HMODULE module_ = NULL;
    APPLET_PROC entry_ = NULL;
};

void TraceApplet(AppletLibrary& library, unsigned applet, const NEWCPLINFO& info) {
    WCHAR idName[CPL_IDNAME_LENGTH] = {};
    library.Send(CPL_IDNAME, applet, reinterpret_cast<LPARAM>(idName));
    idName[CPL_IDNAME_LENGTH - 1] = L'\0';
    NKDbgPrintfW(
        L"ctlpnl: applet %u: name \"%s\", info \"%s\", icon %s, data %d, id name \"%s\"\r\n",
        applet, info.szName, info.szInfo, info.hIcon != NULL ? L"yes" : L"no",
        static_cast<int>(info.lData), idName);
}

int Run(HINSTANCE instance, const Request& request) {
    HWND host = CreateHostWindow(instance);
    if (host == NULL) {
        NKDbgPrintfW(L"ctlpnl: cannot create its window (error %u)\r\n", GetLastError());
        return kNoLibrary;
    }
    int result = kDone;
    {
        AppletLibrary library(request.library.c_str(), host);
        if (!library.Load()) {
            DestroyWindow(host);
            return kNoLibrary;
        }
        LONG started = library.Send(CPL_INIT, 0, 0);
        if (started == 0) {
            NKDbgPrintfW(L"ctlpnl: %s: CPL_INIT returned 0, the library declines to start\r\n",
                         library.name());
            DestroyWindow(host);
            return kDeclined;
        }
        LONG count = library.Send(CPL_GETCOUNT, 0, 0);
        NKDbgPrintfW(L"ctlpnl: %s: %d applets\r\n", library.name(), static_cast<int>(count));
        std::vector<LONG> data;
        for (LONG applet = 0; applet < count; ++applet) {
            NEWCPLINFO info = {};
            info.dwSize = sizeof info;
            library.Send(CPL_NEWINQUIRE, applet, reinterpret_cast<LPARAM>(&info));
            data.push_back(info.lData);
            if (!request.open) {
                TraceApplet(library, static_cast<unsigned>(applet), info);
            }
        }
        if (request.open) {
            if (static_cast<LONG>(request.applet) >= count) {
                NKDbgPrintfW(L"ctlpnl: %s has no applet %u\r\n", library.name(), request.applet);
                result = kNoSuchApplet;
            } else {
                LPARAM which = static_cast<LPARAM>(request.applet | (request.page << 16));
                LONG opened = library.Send(CPL_DBLCLK, which, data[request.applet]);
                NKDbgPrintfW(L"ctlpnl: %s: CPL_DBLCLK applet %u page %u returned %d\r\n",
                             library.name(), request.applet, request.page,
                             static_cast<int>(opened));
            }
        }
        for (size_t applet = 0; applet < data.size(); ++applet) {
            library.Send(CPL_STOP, static_cast<LPARAM>(applet), data[applet]);
        }
        library.Send(CPL_EXIT, 0, 0);
        NKDbgPrintfW(L"ctlpnl: %s unloaded\r\n", library.name());
    }
    DestroyWindow(host);
    return result;
}

}  // namespace

extern "C" __declspec(dllexport) int WINAPI
    WinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR lpCmdLine, int) {
    Request request;
    if (!ParseRequest(lpCmdLine, &request)) {
        NKDbgPrintfW(L"ctlpnl: cannot read the command line \"%s\" (LIBRARY[,APPLET[,PAGE]])\r\n",
                     lpCmdLine != NULL ? lpCmdLine : L"");
        return kBadCommandLine;
    }
    int result = Run(hInstance, request);
    // The window class goes with the program: its procedure lies in this image, which the next
    // run of the host may load at another address.
    UnregisterClassW(L"ctlpnl", hInstance);
    return result;
}
