// The handle-to-object map, the framework's window procedure and the routing of a message through
// the message maps of an object's class and its base classes.
#include "afx/handle_map.h"

#include <memory>
#include <mutex>
#include <unordered_map>

namespace tovarin::afx {
namespace {

struct HandleMap {
    std::mutex lock;
    std::unordered_map<HWND, CWnd*> permanent;
    std::unordered_map<HWND, std::unique_ptr<CWnd>> temporary;
};

HandleMap& Map() {
    static HandleMap map;
    return map;
}

thread_local MSG t_current{};
thread_local CDialog* t_pending_dialog = nullptr;

}  // namespace

CWnd* FindPermanent(HWND hwnd) {
    HandleMap& map = Map();
    std::lock_guard guard(map.lock);
    auto found = map.permanent.find(hwnd);
    return found == map.permanent.end() ? nullptr : found->second;
}

void AddPermanent(HWND hwnd, CWnd* object) {
    HandleMap& map = Map();
    std::lock_guard guard(map.lock);
    map.permanent[hwnd] = object;
    map.temporary.erase(hwnd);
}

void RemovePermanent(HWND hwnd) {
    HandleMap& map = Map();
    std::lock_guard guard(map.lock);
    map.permanent.erase(hwnd);
}

CWnd* TemporaryFor(HWND hwnd) {
    HandleMap& map = Map();
    std::lock_guard guard(map.lock);
    std::erase_if(map.temporary, [](const auto& entry) { return !::IsWindow(entry.first); });
    auto& slot = map.temporary[hwnd];
    if (!slot) {
        slot = std::make_unique<CWnd>();
        slot->m_hWnd = hwnd;
    }
    return slot.get();
}

void SetPendingDialog(CDialog* dialog) {
    t_pending_dialog = dialog;
}

CDialog* TakePendingDialog() {
    CDialog* dialog = t_pending_dialog;
    t_pending_dialog = nullptr;
    return dialog;
}

const MSG& CurrentMessage() {
    return t_current;
}

}  // namespace tovarin::afx

LRESULT AfxCallWndProc(CWnd* object, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    using tovarin::afx::t_current;
    const MSG outer = t_current;
    t_current = MSG{hwnd, message, wParam, lParam, 0, {0, 0}};
    const LRESULT result = object->WindowProc(message, wParam, lParam);
    t_current = outer;
    if (message == WM_DESTROY && object->m_hWnd == hwnd) {
        // The window's last message: give the window back its own procedure and let go of it.
        if (object->m_pfnSuper) {
            ::SetWindowLongW(hwnd, GWL_WNDPROC,
                             static_cast<LONG>(reinterpret_cast<LONG_PTR>(object->m_pfnSuper)));
        }
        object->m_pfnSuper = NULL;
        object->Detach();
        object->PostNcDestroy();
    }
    return result;
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* object = CWnd::FromHandlePermanent(hWnd);
    if (!object) {
        return ::DefWindowProcW(hWnd, message, wParam, lParam);
    }
    return AfxCallWndProc(object, hWnd, message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result)) {
        result = DefWindowProc(message, wParam, lParam);
    }
    return result;
}

namespace {

// The first entry for the message in the class's map or its base classes' maps.
const AFX_MSGMAP_ENTRY* FindEntry(const AFX_MSGMAP* map, UINT message, UINT code, UINT id) {
    for (; map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->nSig != AfxSig_end; ++entry) {
            if (entry->nMessage != message) {
                continue;
            }
            if (message != WM_COMMAND ||
                (entry->nCode == code && entry->nID <= id && id <= entry->nLastID)) {
                return entry;
            }
        }
    }
    return nullptr;
}

}  // namespace

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM) {
    const AFX_MSGMAP_ENTRY* entry =
        FindEntry(GetMessageMap(), WM_COMMAND, HIWORD(wParam), LOWORD(wParam));
    if (!entry) {
        return FALSE;
    }
    (this->*entry->pfn)();
    return TRUE;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    *pResult = 0;
    if (message == WM_COMMAND) {
        return OnCommand(wParam, lParam);
    }
    const AFX_MSGMAP_ENTRY* entry = FindEntry(GetMessageMap(), message, 0, 0);
    if (!entry) {
        return FALSE;
    }
    switch (entry->nSig) {
        case AfxSig_vv:
            (this->*reinterpret_cast<void (CWnd::*)()>(entry->pfn))();
            return TRUE;
        case AfxSig_vwii:
            (this->*reinterpret_cast<void (CWnd::*)(UINT, int, int)>(entry->pfn))(
                static_cast<UINT>(wParam), static_cast<short>(LOWORD(lParam)),
                static_cast<short>(HIWORD(lParam)));
            return TRUE;
        case AfxSig_vwwW:
            (this->*reinterpret_cast<void (CWnd::*)(UINT, UINT, CScrollBar*)>(entry->pfn))(
                LOWORD(wParam), static_cast<short>(HIWORD(wParam)),
                lParam ? static_cast<CScrollBar*>(FromHandle(reinterpret_cast<HWND>(lParam)))
                       : nullptr);
            return TRUE;
        case AfxSig_vwp:
            (this->*reinterpret_cast<void (CWnd::*)(UINT, CPoint)>(entry->pfn))(
                static_cast<UINT>(wParam), CPoint(lParam));
            return TRUE;
        default:
            return FALSE;
    }
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper) {
        return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    }
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
    const MSG& current = tovarin::afx::CurrentMessage();
    return DefWindowProc(current.message, current.wParam, current.lParam);
}

const AFX_MSGMAP* CWnd::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, AfxSig_end, nullptr}};
    static const AFX_MSGMAP map = {&CCmdTarget::GetThisMessageMap, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const {
    return GetThisMessageMap();
}
