// The device's drawing objects: brushes, pens, fonts, bitmaps and device contexts, each behind a
// handle, and the one frame buffer of the screen that window device contexts draw into.
//
// Everything here is guarded by the drawing lock (Gdi::lock()). Drawing runs on the painting
// thread without the kernel lock; where both are taken, the kernel lock comes first.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "gwes/gdi/dib_pixels.h"
#include "gwes/gdi/region.h"

typedef struct _cairo_surface cairo_surface_t;

namespace tovarin::gwes {

enum class GdiKind { Brush, Pen, Font, Bitmap, DeviceContext, ImageList };

struct GdiObject {
    explicit GdiObject(GdiKind kind) : kind(kind) {}
    virtual ~GdiObject() = default;
    const GdiKind kind;
    HGDIOBJ handle = nullptr;
    uint32_t process_id = 0;      // the process that made it; 0 for stock objects
    bool stock = false;           // never freed
    int selections = 0;           // device contexts that have it selected
    bool delete_pending = false;  // DeleteObject while selected: freed when deselected
};

struct Brush final : GdiObject {
    Brush() : GdiObject(GdiKind::Brush) {}
    COLORREF color = 0;
    bool hollow = false;
};

struct Pen final : GdiObject {
    Pen() : GdiObject(GdiKind::Pen) {}
    int style = PS_SOLID;
    int width = 1;
    COLORREF color = 0;
};

struct Font final : GdiObject {
    Font() : GdiObject(GdiKind::Font) {}
    LOGFONTW logfont{};
};

// A bitmap's pixels are kept as a cairo image surface (32 bits a pixel, xRGB); the depth it was
// made with is what GetObjectW reports. A DIB section's pixels live in memory the program sees:
// its bits are copied to the surface before the surface is read and back after it is drawn on.
struct Bitmap final : GdiObject {
    Bitmap() : GdiObject(GdiKind::Bitmap) {}
    ~Bitmap() override;
    int width = 0;
    int height = 0;
    int bits_per_pixel = 32;
    cairo_surface_t* surface = nullptr;
    // DIB sections
    std::vector<uint8_t> dib_bits;  // the pixels the program writes, in DIB row order
    DibLayout dib;
    void LoadFromDib();  // dib_bits -> surface
    void StoreToDib();   // surface -> dib_bits
    // A bitmap of the size, white (as a new monochrome bitmap) or black.
    static std::shared_ptr<Bitmap> Make(int width, int height, int bits_per_pixel);
};

// An image list: equally sized images, each with a mask of the pixels left out when it is drawn
// transparently.
struct ImageList final : GdiObject {
    ImageList() : GdiObject(GdiKind::ImageList) {}
    int cx = 0;
    int cy = 0;
    UINT flags = 0;
    int grow = 4;
    COLORREF background = CLR_NONE;
    struct Image {
        std::vector<uint32_t> pixels;  // cx * cy, xRGB
        std::vector<bool> masked;      // cx * cy: true where the image is transparent
    };
    std::vector<Image> images;
};

// What SaveDC keeps.
struct DcAttributes {
    HGDIOBJ brush = nullptr;
    HGDIOBJ pen = nullptr;
    HGDIOBJ font = nullptr;
    HGDIOBJ bitmap = nullptr;  // memory device contexts
    COLORREF text_color = RGB(0, 0, 0);
    COLORREF bk_color = RGB(255, 255, 255);
    int bk_mode = OPAQUE;
    UINT text_align = TA_LEFT | TA_TOP;
    POINT position{0, 0};
    POINT viewport{0, 0};        // the origin's offset (SetViewportOrgEx)
    std::optional<Region> clip;  // the program's clipping, in device coordinates
};

struct DeviceContext final : GdiObject {
    DeviceContext() : GdiObject(GdiKind::DeviceContext) {}
    bool memory = false;        // CreateCompatibleDC: draws on the selected bitmap
    HWND window = nullptr;      // null and not memory: the whole screen (GetDC(NULL))
    bool whole_window = false;  // GetWindowDC: the window's rectangle, not its client area
    bool painting = false;      // made by BeginPaint: clipped to the update region too
    uint32_t thread_id = 0;
    DcAttributes attributes;
    std::vector<DcAttributes> saved;

    // Window device contexts, in screen coordinates: where device (0, 0) is and what may be
    // drawn; recomputed when windows have moved since (layout_serial).
    POINT origin{0, 0};
    Region visible;
    std::optional<Region> paint_area;  // BeginPaint: the update region taken, on the screen
    uint64_t layout_serial = 0;
};

// Per device, owned by the window manager.
class Gdi {
  public:
    Gdi();
    ~Gdi();
    Gdi(const Gdi&) = delete;
    Gdi& operator=(const Gdi&) = delete;

    std::mutex& lock() { return mutex_; }

    // Drawing lock held:
    // A new handle for the object; null when the table is full.
    HGDIOBJ Insert(std::shared_ptr<GdiObject> object);
    GdiObject* Find(HGDIOBJ handle) const;
    template <typename T>
    T* FindAs(HGDIOBJ handle, GdiKind kind) const {
        GdiObject* object = Find(handle);
        return object && object->kind == kind ? static_cast<T*>(object) : nullptr;
    }
    void Erase(HGDIOBJ handle);
    HGDIOBJ Stock(int index) const;
    HBRUSH SysColorBrush(int index) const;
    // The 1 x 1 monochrome bitmap a new memory device context has selected.
    HGDIOBJ DefaultBitmap() const { return default_bitmap_; }
    // The objects a process made that are still alive, by kind (device contexts included).
    std::map<GdiKind, int> CountOf(uint32_t process_id) const;
    // Frees what the process left; returns how many.
    int FreeAllOf(uint32_t process_id);

    // The screen's frame buffer.
    cairo_surface_t* screen() { return screen_; }
    int screen_width() const { return screen_width_; }
    int screen_height() const { return screen_height_; }
    // Makes the frame buffer the given size (the screen turned); the old picture is dropped.
    void ResizeScreen(int width, int height);
    void ScreenChanged() { ++screen_serial_; }
    uint64_t screen_serial() const { return screen_serial_; }

    // Bumped (kernel lock held) whenever a window moved, was shown, hidden or restacked.
    std::atomic<uint64_t> layout_serial{1};

  private:
    std::mutex mutex_;
    std::map<uint32_t, std::shared_ptr<GdiObject>> objects_;
    uint32_t next_value_;
    std::vector<HGDIOBJ> stock_;
    std::vector<HBRUSH> sys_brushes_;
    HGDIOBJ default_bitmap_ = nullptr;
    cairo_surface_t* screen_ = nullptr;
    int screen_width_ = 0;
    int screen_height_ = 0;
    uint64_t screen_serial_ = 1;
};

// The colour of the screen where no window is.
inline constexpr COLORREF kDesktopColor = RGB(255, 255, 255);

// Handle values of drawing objects: multiples of 4 from 0x10000000 on, below the images'.
constexpr uint32_t kFirstGdiValue = 0x10000000;
constexpr uint32_t kLastGdiValue = 0x1FFFFFFC;

}  // namespace tovarin::gwes
