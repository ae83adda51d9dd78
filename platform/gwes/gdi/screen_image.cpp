// The screen as the console and the web page read it, and the observers of its changes.
#include "host/screen_image.h"

#include <cstdio>
#include <cstring>
#include <list>
#include <mutex>

#include <cairo.h>
#include <png.h>

#include "gwes/gdi/gdi_objects.h"
#include "gwes/gdi/window_damage.h"
#include "gwes/window_manager.h"

namespace tovarin::gwes {
namespace {

struct Observer {
    uint64_t token = 0;
    std::function<void()> call;
    std::recursive_mutex running;  // held while it is called: removal waits for the call
};

struct Observers {
    std::mutex mutex;
    std::list<std::shared_ptr<Observer>> list;
    uint64_t next_token = 1;
    uint64_t notified_serial = 0;
};

Observers& TheObservers() {
    static Observers observers;
    return observers;
}

}  // namespace

ScreenImage CaptureScreen() {
    ScreenImage image;
    std::shared_ptr<WindowManager> wm = WindowManager::Existing();
    if (!wm) {
        image.width = 480;
        image.height = 640;
        image.pixels.assign(static_cast<size_t>(image.width) * image.height,
                            0xFF000000u | (GetRValue(kDesktopColor) << 16) |
                                (GetGValue(kDesktopColor) << 8) | GetBValue(kDesktopColor));
        return image;
    }
    {
        // A turned screen that nobody drew on yet is still the right size.
        auto lock = wm->Lock();
        if (wm->gdi().screen_width() != wm->screen_width() ||
            wm->gdi().screen_height() != wm->screen_height()) {
            DamageScreen(*wm, Region(wm->ScreenRect()));
        }
    }
    Gdi& gdi = wm->gdi();
    std::lock_guard guard(gdi.lock());
    cairo_surface_t* screen = gdi.screen();
    cairo_surface_flush(screen);
    image.width = gdi.screen_width();
    image.height = gdi.screen_height();
    image.serial = gdi.screen_serial();
    image.pixels.resize(static_cast<size_t>(image.width) * image.height);
    const unsigned char* data = cairo_image_surface_get_data(screen);
    const int stride = cairo_image_surface_get_stride(screen);
    for (int y = 0; y < image.height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < image.width; ++x) {
            image.pixels[static_cast<size_t>(y) * image.width + x] = 0xFF000000u | row[x];
        }
    }
    return image;
}

std::vector<uint8_t> EncodePng(const ScreenImage& image) {
    std::vector<uint8_t> png;
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != static_cast<size_t>(image.width) * image.height) {
        return png;
    }
    // The web page encodes a frame for every change it shows, so speed matters more than the
    // last few per cent of size: libpng's fast setting, in one pass into a buffer of the largest
    // size the image can take. Each pixel is 0xFFRRGGBB in memory order, which is BGRA in bytes.
    png_image description{};
    description.version = PNG_IMAGE_VERSION;
    description.width = static_cast<png_uint_32>(image.width);
    description.height = static_cast<png_uint_32>(image.height);
    description.format = PNG_FORMAT_BGRA;
    description.flags = PNG_IMAGE_FLAG_FAST;
    const png_int_32 row_stride = image.width * 4;
    png.resize(PNG_IMAGE_PNG_SIZE_MAX(description));
    png_alloc_size_t size = png.size();
    if (!png_image_write_to_memory(&description, png.data(), &size, /*convert_to_8bit=*/0,
                                   image.pixels.data(), row_stride, nullptr)) {
        png_image_free(&description);
        png.clear();
        return png;
    }
    png.resize(size);
    return png;
}

bool WriteScreenshot(const std::string& host_path, std::string* error) {
    std::vector<uint8_t> png = EncodePng(CaptureScreen());
    if (png.empty()) {
        if (error) {
            *error = "the screen could not be encoded as PNG";
        }
        return false;
    }
    std::FILE* file = std::fopen(host_path.c_str(), "wb");
    if (!file) {
        if (error) {
            *error = "cannot open " + host_path + " for writing: " + std::strerror(errno);
        }
        return false;
    }
    const bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        if (error) {
            *error = "cannot write " + host_path;
        }
        std::remove(host_path.c_str());
        return false;
    }
    return true;
}

uint64_t AddScreenObserver(std::function<void()> observer) {
    Observers& observers = TheObservers();
    auto entry = std::make_shared<Observer>();
    entry->call = std::move(observer);
    std::lock_guard guard(observers.mutex);
    entry->token = observers.next_token++;
    observers.list.push_back(entry);
    return entry->token;
}

void RemoveScreenObserver(uint64_t token) {
    Observers& observers = TheObservers();
    std::shared_ptr<Observer> removed;
    {
        std::lock_guard guard(observers.mutex);
        for (auto it = observers.list.begin(); it != observers.list.end(); ++it) {
            if ((*it)->token == token) {
                removed = *it;
                observers.list.erase(it);
                break;
            }
        }
    }
    if (removed) {
        std::lock_guard wait_for_call(removed->running);
        removed->call = nullptr;
    }
}

void NotifyScreenObservers() {
    std::shared_ptr<WindowManager> wm = WindowManager::Existing();
    if (!wm) {
        return;
    }
    uint64_t serial = 0;
    {
        std::lock_guard guard(wm->gdi().lock());
        serial = wm->gdi().screen_serial();
    }
    Observers& observers = TheObservers();
    std::vector<std::shared_ptr<Observer>> to_call;
    {
        std::lock_guard guard(observers.mutex);
        if (serial == observers.notified_serial) {
            return;
        }
        observers.notified_serial = serial;
        to_call.assign(observers.list.begin(), observers.list.end());
    }
    for (const std::shared_ptr<Observer>& observer : to_call) {
        std::lock_guard running(observer->running);
        if (observer->call) {
            observer->call();
        }
    }
}

}  // namespace tovarin::gwes
