#include "gwes/gdi/brushes.h"

#include "gwes/gdi/sys_colors.h"

namespace tovarin::gwes {

std::optional<COLORREF> BrushColor(Gdi& gdi, HBRUSH brush) {
    if (auto* object = gdi.FindAs<Brush>(brush, GdiKind::Brush)) {
        return object->hollow ? kHollow : object->color;
    }
    if (std::optional<int> index = SysColorOfClassBrush(brush)) {
        return SysColor(*index);
    }
    return std::nullopt;
}

}  // namespace tovarin::gwes
