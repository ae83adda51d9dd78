#include "gwes/gdi/gdi_leaks.h"

#include <mutex>

#include "gwes/gdi/gdi_objects.h"
#include "gwes/window_manager.h"
#include "host/device.h"
#include "host/trace.h"

namespace tovarin::gwes {
namespace {

const wchar_t* NameOf(GdiKind kind, bool plural) {
    switch (kind) {
        case GdiKind::Brush:
            return plural ? L"brushes" : L"brush";
        case GdiKind::Pen:
            return plural ? L"pens" : L"pen";
        case GdiKind::Font:
            return plural ? L"fonts" : L"font";
        case GdiKind::Bitmap:
            return plural ? L"bitmaps" : L"bitmap";
        case GdiKind::DeviceContext:
            return plural ? L"device contexts" : L"device context";
        case GdiKind::ImageList:
            return plural ? L"image lists" : L"image list";
    }
    return L"objects";
}

std::wstring Describe(const std::map<GdiKind, int>& counts) {
    std::wstring text;
    for (const auto& [kind, count] : counts) {
        if (!text.empty()) {
            text += L", ";
        }
        text += std::to_wstring(count) + L" " + NameOf(kind, count != 1);
    }
    return text;
}

}  // namespace

void ReclaimGdiObjects(WindowManager& wm, uint32_t process_id, const std::wstring& image) {
    std::wstring left;
    {
        std::lock_guard guard(wm.gdi().lock());
        left = Describe(wm.gdi().CountOf(process_id));
        wm.gdi().FreeAllOf(process_id);
    }
    if (!left.empty()) {
        kernel::Device& device = kernel::Device::Current();
        device.trace().Write(
            {device.NowMs(), L"gwes",
             L"GDI: " + image + L" ended with objects not freed: " + left + L"\n"});
    }
}

int LiveGdiObjects(uint32_t process_id) {
    std::shared_ptr<WindowManager> wm = WindowManager::Existing();
    if (!wm) {
        return 0;
    }
    std::lock_guard guard(wm->gdi().lock());
    int total = 0;
    for (const auto& [kind, count] : wm->gdi().CountOf(process_id)) {
        total += count;
    }
    return total;
}

std::wstring DescribeLeftObjects(uint32_t process_id) {
    std::shared_ptr<WindowManager> wm = WindowManager::Existing();
    if (!wm) {
        return {};
    }
    std::lock_guard guard(wm->gdi().lock());
    return Describe(wm->gdi().CountOf(process_id));
}

}  // namespace tovarin::gwes
