#include "gwes/gdi/gdi_objects.h"

#include <cstring>

#include <cairo.h>

#include "gwes/gdi/sys_colors.h"

namespace tovarin::gwes {
namespace {

HGDIOBJ HandleFromValue(uint32_t value) {
    return reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(value));
}

std::optional<uint32_t> ValueOf(HGDIOBJ handle) {
    const auto raw = reinterpret_cast<uintptr_t>(handle);
    if (raw < kFirstGdiValue || raw > kLastGdiValue || raw % 4 != 0) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(raw);
}

std::shared_ptr<GdiObject> StockBrush(COLORREF color, bool hollow = false) {
    auto brush = std::make_shared<Brush>();
    brush->color = color;
    brush->hollow = hollow;
    return brush;
}

std::shared_ptr<GdiObject> StockPen(COLORREF color, int style = PS_SOLID) {
    auto pen = std::make_shared<Pen>();
    pen->color = color;
    pen->style = style;
    return pen;
}

}  // namespace

std::shared_ptr<Bitmap> Bitmap::Make(int width, int height, int bits_per_pixel) {
    auto bitmap = std::make_shared<Bitmap>();
    bitmap->width = width;
    bitmap->height = height;
    bitmap->bits_per_pixel = bits_per_pixel;
    bitmap->surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    if (bits_per_pixel == 1) {
        cairo_t* cr = cairo_create(bitmap->surface);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_paint(cr);
        cairo_destroy(cr);
    }
    return bitmap;
}

Bitmap::~Bitmap() {
    if (surface) {
        cairo_surface_destroy(surface);
    }
}

Gdi::Gdi() : next_value_(kFirstGdiValue) {
    // GetStockObject's table, by index; the gaps are objects this device does not have.
    std::vector<std::shared_ptr<GdiObject>> stock(DEFAULT_GUI_FONT + 1);
    stock[WHITE_BRUSH] = StockBrush(RGB(255, 255, 255));
    stock[LTGRAY_BRUSH] = StockBrush(RGB(192, 192, 192));
    stock[GRAY_BRUSH] = StockBrush(RGB(128, 128, 128));
    stock[DKGRAY_BRUSH] = StockBrush(RGB(64, 64, 64));
    stock[BLACK_BRUSH] = StockBrush(RGB(0, 0, 0));
    stock[NULL_BRUSH] = StockBrush(0, /*hollow=*/true);
    stock[WHITE_PEN] = StockPen(RGB(255, 255, 255));
    stock[BLACK_PEN] = StockPen(RGB(0, 0, 0));
    stock[NULL_PEN] = StockPen(0, PS_NULL);
    // The system font is the dialogs' default of 8 points; the GUI font the phone's 9 points.
    auto system_font = std::make_shared<Font>();
    system_font->logfont.lfHeight = -21;
    system_font->logfont.lfWeight = FW_NORMAL;
    stock[SYSTEM_FONT] = system_font;
    auto gui_font = std::make_shared<Font>();
    gui_font->logfont.lfHeight = -24;
    gui_font->logfont.lfWeight = FW_NORMAL;
    stock[DEFAULT_GUI_FONT] = gui_font;
    for (const std::shared_ptr<GdiObject>& object : stock) {
        if (object) {
            object->stock = true;
            stock_.push_back(Insert(object));
        } else {
            stock_.push_back(nullptr);
        }
    }
    for (int index = 0; index < C_SYS_COLORS; ++index) {
        auto brush = std::make_shared<Brush>();
        brush->color = SysColor(index);
        brush->stock = true;
        sys_brushes_.push_back(static_cast<HBRUSH>(Insert(brush)));
    }
    std::shared_ptr<Bitmap> one_pixel = Bitmap::Make(1, 1, 1);
    one_pixel->stock = true;
    default_bitmap_ = Insert(one_pixel);
}

Gdi::~Gdi() {
    if (screen_) {
        cairo_surface_destroy(screen_);
    }
}

HGDIOBJ Gdi::Insert(std::shared_ptr<GdiObject> object) {
    const uint32_t start = next_value_;
    while (objects_.count(next_value_)) {
        next_value_ = next_value_ >= kLastGdiValue ? kFirstGdiValue : next_value_ + 4;
        if (next_value_ == start) {
            return nullptr;
        }
    }
    const uint32_t value = next_value_;
    next_value_ = next_value_ >= kLastGdiValue ? kFirstGdiValue : next_value_ + 4;
    object->handle = HandleFromValue(value);
    objects_.emplace(value, std::move(object));
    return HandleFromValue(value);
}

GdiObject* Gdi::Find(HGDIOBJ handle) const {
    std::optional<uint32_t> value = ValueOf(handle);
    if (!value) {
        return nullptr;
    }
    auto found = objects_.find(*value);
    return found == objects_.end() ? nullptr : found->second.get();
}

void Gdi::Erase(HGDIOBJ handle) {
    if (std::optional<uint32_t> value = ValueOf(handle)) {
        objects_.erase(*value);
    }
}

HGDIOBJ Gdi::Stock(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= stock_.size()) {
        return nullptr;
    }
    return stock_[static_cast<size_t>(index)];
}

HBRUSH Gdi::SysColorBrush(int index) const {
    return sys_brushes_.at(static_cast<size_t>(index));
}

std::map<GdiKind, int> Gdi::CountOf(uint32_t process_id) const {
    std::map<GdiKind, int> counts;
    for (const auto& [value, object] : objects_) {
        if (!object->stock && object->process_id == process_id) {
            counts[object->kind]++;
        }
    }
    return counts;
}

int Gdi::FreeAllOf(uint32_t process_id) {
    return static_cast<int>(std::erase_if(objects_, [&](const auto& entry) {
        return !entry.second->stock && entry.second->process_id == process_id;
    }));
}

void Gdi::ResizeScreen(int width, int height) {
    if (screen_ && width == screen_width_ && height == screen_height_) {
        return;
    }
    if (screen_) {
        cairo_surface_destroy(screen_);
    }
    screen_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    screen_width_ = width;
    screen_height_ = height;
    cairo_t* cr = cairo_create(screen_);
    cairo_set_source_rgb(cr, GetRValue(kDesktopColor) / 255.0, GetGValue(kDesktopColor) / 255.0,
                         GetBValue(kDesktopColor) / 255.0);
    cairo_paint(cr);
    cairo_destroy(cr);
    ++screen_serial_;
}

}  // namespace tovarin::gwes
