// The screen as the user sees it: one frame buffer of the screen's size, composited in z-order
// from what the windows have painted. The console's `screenshot` and the web page read it here.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tovarin::gwes {

// A copy of the whole screen: width * height pixels, row by row from the top left, each
// 0xFFRRGGBB. `serial` grows with every change of the screen, so a reader can tell whether
// anything changed since its last copy.
struct ScreenImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint64_t serial = 0;
};

// The screen of the current device now: damaged areas are composited first. Called from a
// device thread (the console's or the web server's) without the kernel lock; it never waits for
// a window's thread, so a hung program cannot hang the reader.
ScreenImage CaptureScreen();

// The image as PNG bytes; empty when it cannot be encoded.
std::vector<uint8_t> EncodePng(const ScreenImage& image);

// Writes the screen as a PNG file on the host. False, with the reason in `error`, when the file
// cannot be written.
bool WriteScreenshot(const std::string& host_path, std::string* error);

// Observers of screen changes: called without the kernel lock, on a thread of the device,
// after something on the screen was damaged or repainted. Calls are not coalesced: an observer
// that does real work (encoding a frame) hands it to a thread of its own. Returns a token for
// RemoveScreenObserver, which returns only when no call of that observer is running.
uint64_t AddScreenObserver(std::function<void()> observer);
void RemoveScreenObserver(uint64_t token);

}  // namespace tovarin::gwes
