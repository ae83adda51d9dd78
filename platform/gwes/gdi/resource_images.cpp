// LoadBitmapW, LoadIconW, LoadImageW and DestroyIcon over a module's compiled resources.
//
// A bitmap resource is a BITMAPINFOHEADER followed by its colour table and pixels; an icon is a
// group directory (RT_GROUP_ICON: WORD reserved, WORD type 1, WORD count, then 14-byte entries
// whose last WORD names an RT_ICON resource) and icon images (a BITMAPINFOHEADER of twice the
// icon's height: the colours, then the mask). LoadIconW takes the entry closest to the system
// icon size (SM_CXICON), LoadImageW the one closest to the size asked for. Resources that are
// shorter than their headers say are refused (ERROR_RESOURCE_DATA_NOT_FOUND).
#include "gwes/gdi/resource_images.h"

#include <cstdlib>
#include <map>
#include <mutex>

#include "gwes/gdi/bitmaps.h"
#include "host/icons.h"
#include "kernel/handles.h"
#include "kernel/resources/module_resources.h"

using namespace tovarin::gwes;
using tovarin::kernel::SetError;

namespace {

constexpr uintptr_t kFirstImageHandle = 0x20000000;
constexpr size_t kInfoHeaderSize = 40;
constexpr size_t kGroupHeaderSize = 6;
constexpr size_t kGroupEntrySize = 14;

class ImageTable {
  public:
    HANDLE Add(const LoadedImage& image) {
        std::lock_guard guard(mutex_);
        const uintptr_t value = kFirstImageHandle + 4 * next_++;
        images_[value] = image;
        return reinterpret_cast<HANDLE>(value);
    }
    std::optional<LoadedImage> Find(HANDLE handle) const {
        std::lock_guard guard(mutex_);
        auto found = images_.find(reinterpret_cast<uintptr_t>(handle));
        if (found == images_.end()) {
            return std::nullopt;
        }
        return found->second;
    }
    bool Remove(HANDLE handle) {
        std::lock_guard guard(mutex_);
        return images_.erase(reinterpret_cast<uintptr_t>(handle)) != 0;
    }

  private:
    mutable std::mutex mutex_;
    std::map<uintptr_t, LoadedImage> images_;
    uintptr_t next_ = 0;
};

ImageTable& Images() {
    static ImageTable* table = new ImageTable();  // outlives every device
    return *table;
}

uint32_t ReadDword(std::span<const std::byte> bytes, size_t at) {
    uint32_t value = 0;
    for (size_t index = 0; index < 4; ++index) {
        value |= std::to_integer<uint32_t>(bytes[at + index]) << (8 * index);
    }
    return value;
}

uint16_t ReadWord(std::span<const std::byte> bytes, size_t at) {
    return static_cast<uint16_t>(std::to_integer<uint16_t>(bytes[at]) |
                                 std::to_integer<uint16_t>(bytes[at + 1]) << 8);
}

// The image described by a BITMAPINFOHEADER at the start of `dib`; icons halve the height.
std::optional<LoadedImage> ReadDib(std::span<const std::byte> dib, UINT type) {
    if (dib.size() < kInfoHeaderSize || ReadDword(dib, 0) < kInfoHeaderSize) {
        return std::nullopt;
    }
    LoadedImage image;
    image.type = type;
    image.width = static_cast<int32_t>(ReadDword(dib, 4));
    int height = static_cast<int32_t>(ReadDword(dib, 8));
    image.bits_per_pixel = ReadWord(dib, 14);
    if (image.width <= 0 || height == 0 || image.bits_per_pixel == 0) {
        return std::nullopt;
    }
    height = std::abs(height);
    image.height = type == IMAGE_ICON ? height / 2 : height;
    // The rows (4-byte aligned) must be there.
    const uint64_t row =
        (uint64_t{static_cast<uint32_t>(image.width)} * image.bits_per_pixel + 31) / 32 * 4;
    if (row * static_cast<uint64_t>(image.height) > dib.size()) {
        return std::nullopt;
    }
    image.dib = dib;
    return image;
}

HANDLE LoadBitmapResource(HMODULE module, LPCWSTR name) {
    std::optional<std::span<const std::byte>> bytes =
        tovarin::kernel::resources::FindModuleResource(module, RT_BITMAP, name);
    if (!bytes) {
        return nullptr;
    }
    if (!ReadDib(*bytes, IMAGE_BITMAP)) {
        SetError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    // A bitmap is a drawing object of the process, freed with DeleteObject.
    return tovarin::gwes::BitmapFromDib(*bytes);
}

HANDLE LoadIconResource(HMODULE module, LPCWSTR name, int wanted_size) {
    std::optional<std::span<const std::byte>> group =
        tovarin::kernel::resources::FindModuleResource(module, RT_GROUP_ICON, name);
    if (!group) {
        return nullptr;
    }
    if (group->size() < kGroupHeaderSize || ReadWord(*group, 2) != 1) {
        SetError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    const size_t count = ReadWord(*group, 4);
    if (count == 0 || group->size() < kGroupHeaderSize + count * kGroupEntrySize) {
        SetError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    // The entry whose size is closest to the one wanted; the larger on a tie.
    size_t best = 0;
    int best_distance = -1;
    int best_size = 0;
    for (size_t index = 0; index < count; ++index) {
        const size_t entry = kGroupHeaderSize + index * kGroupEntrySize;
        int size = std::to_integer<int>((*group)[entry]);
        size = size == 0 ? 256 : size;
        const int distance = std::abs(size - wanted_size);
        if (best_distance < 0 || distance < best_distance ||
            (distance == best_distance && size > best_size)) {
            best = entry;
            best_distance = distance;
            best_size = size;
        }
    }
    const uint16_t icon_id = ReadWord(*group, best + 12);
    std::optional<std::span<const std::byte>> bytes =
        tovarin::kernel::resources::FindModuleResource(module, RT_ICON, MAKEINTRESOURCEW(icon_id));
    if (!bytes) {
        return nullptr;
    }
    std::optional<LoadedImage> image = ReadDib(*bytes, IMAGE_ICON);
    if (!image) {
        SetError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    return Images().Add(*image);
}

// The system's own icons (IDI_APPLICATION and its kin), made once per host process.
HANDLE SystemIcon(LPCWSTR name) {
    static std::mutex mutex;
    static std::map<uintptr_t, HANDLE> icons;
    std::lock_guard guard(mutex);
    HANDLE& icon = icons[reinterpret_cast<uintptr_t>(name)];
    if (!icon) {
        icon = Images().Add(LoadedImage{IMAGE_ICON, 64, 64, 32, {}});
    }
    return icon;
}

}  // namespace

namespace tovarin::gwes {

std::optional<LoadedImage> ImageOf(HANDLE handle) {
    return Images().Find(handle);
}

std::optional<SIZE> IconSize(HICON icon) {
    const std::optional<LoadedImage> image = ImageOf(icon);
    if (!image || image->type != IMAGE_ICON) {
        return std::nullopt;
    }
    return SIZE{image->width, image->height};
}

bool IsHighResolutionAware(HMODULE module) {
    return tovarin::kernel::resources::FindModuleResource(module, L"CEUX", L"HI_RES_AWARE")
        .has_value();
}

}  // namespace tovarin::gwes

extern "C" {

HBITMAP WINAPI LoadBitmapW(HINSTANCE hInstance, LPCWSTR lpBitmapName) {
    if (!lpBitmapName) {
        SetError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    HMODULE module = tovarin::kernel::resources::ModuleOfInstance(hInstance);
    return static_cast<HBITMAP>(LoadBitmapResource(module, lpBitmapName));
}

HICON WINAPI LoadIconW(HINSTANCE hInstance, LPCWSTR lpIconName) {
    if (!lpIconName) {
        SetError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (!hInstance && IS_INTRESOURCE(lpIconName)) {
        return static_cast<HICON>(SystemIcon(lpIconName));
    }
    HMODULE module = tovarin::kernel::resources::ModuleOfInstance(hInstance);
    return static_cast<HICON>(LoadIconResource(module, lpIconName, GetSystemMetrics(SM_CXICON)));
}

HANDLE WINAPI LoadImageW(HINSTANCE hinst, LPCWSTR lpszName, UINT uType, int cxDesired, int,
                         UINT fuLoad) {
    if (!lpszName || (fuLoad & LR_LOADFROMFILE)) {
        SetError(ERROR_INVALID_PARAMETER);  // the device loads images from resources only
        return nullptr;
    }
    HMODULE module = tovarin::kernel::resources::ModuleOfInstance(hinst);
    switch (uType) {
        case IMAGE_BITMAP:
            return LoadBitmapResource(module, lpszName);
        case IMAGE_ICON: {
            // Without a width (or with LR_DEFAULTSIZE) the system icon size is wanted.
            const int size = cxDesired > 0 ? cxDesired : GetSystemMetrics(SM_CXICON);
            return LoadIconResource(module, lpszName, size);
        }
        default:
            SetError(ERROR_INVALID_PARAMETER);
            return nullptr;
    }
}

BOOL WINAPI DestroyIcon(HICON hIcon) {
    std::optional<LoadedImage> image = Images().Find(hIcon);
    if (!image || image->type != IMAGE_ICON) {
        SetError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return Images().Remove(hIcon) ? TRUE : FALSE;
}

}  // extern "C"
