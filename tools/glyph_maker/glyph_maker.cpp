// Draws the sound recorder's button glyphs into three Windows bitmap files:
//   glyph_maker COLOURS.bmp GREYED.bmp MASK.bmp
// Each is a strip of five 48 x 32 cells, in this order: rewind, fast forward, play, stop, record.
// COLOURS and GREYED are 24-bit bitmaps (black where the mask is clear), MASK is the common
// two-colour mask: 0 where a glyph covers the cell, 1 where the button shows through.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kCellWidth = 48;
constexpr int kCellHeight = 32;
constexpr int kCells = 5;
constexpr int kWidth = kCellWidth * kCells;
constexpr int kHeight = kCellHeight;

struct Colour {
    uint8_t red, green, blue;
};

// Whether the point (x, y) of a cell, measured from its top-left corner in pixels, lies inside a
// glyph. Points are taken at pixel centres.
using Shape = std::function<bool(double x, double y)>;

// A triangle pointing right (or left) whose tip is at x = tip, whose base stands at x = base and
// which spans `half` pixels above and below the cell's middle.
bool InTriangle(double x, double y, double base, double tip, double half) {
    const double middle = kCellHeight / 2.0;
    const double length = tip - base;
    const double along = (x - base) / length;  // 0 at the base, 1 at the tip
    if (along < 0.0 || along > 1.0) {
        return false;
    }
    return std::fabs(y - middle) <= half * (1.0 - along);
}

const Shape kRewind = [](double x, double y) {
    return InTriangle(x, y, 23.0, 9.0, 10.0) || InTriangle(x, y, 38.0, 24.0, 10.0);
};
const Shape kFastForward = [](double x, double y) {
    return InTriangle(x, y, 10.0, 24.0, 10.0) || InTriangle(x, y, 25.0, 39.0, 10.0);
};
const Shape kPlay = [](double x, double y) { return InTriangle(x, y, 16.0, 34.0, 11.0); };
const Shape kStop = [](double x, double y) {
    return x >= 15.0 && x < 33.0 && y >= 7.0 && y < 25.0;
};
const Shape kRecord = [](double x, double y) {
    const double dx = x - kCellWidth / 2.0;
    const double dy = y - kCellHeight / 2.0;
    return dx * dx + dy * dy <= 10.0 * 10.0;
};

const Shape kShapes[kCells] = {kRewind, kFastForward, kPlay, kStop, kRecord};
// Transport glyphs are dark blue; record is red.
const Colour kInk[kCells] = {{0, 0, 128}, {0, 0, 128}, {0, 0, 128}, {0, 0, 128}, {208, 0, 0}};
const Colour kGreyInk = {128, 128, 128};

bool Covered(int x, int y) {
    const int cell = x / kCellWidth;
    return kShapes[cell]((x % kCellWidth) + 0.5, y + 0.5);
}

void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

// A bottom-up bitmap file with the given bits per pixel, colour table and rows (top row first,
// each already padded to four bytes).
std::vector<uint8_t> BitmapFile(int bits, const std::vector<Colour>& table,
                                const std::vector<std::vector<uint8_t>>& rows) {
    const uint32_t header = 14 + 40 + 4 * static_cast<uint32_t>(table.size());
    const uint32_t image = static_cast<uint32_t>(rows.size() * rows[0].size());
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    PutLe(out, header + image, 4);
    PutLe(out, 0, 4);
    PutLe(out, header, 4);
    PutLe(out, 40, 4);
    PutLe(out, kWidth, 4);
    PutLe(out, kHeight, 4);
    PutLe(out, 1, 2);
    PutLe(out, static_cast<uint32_t>(bits), 2);
    PutLe(out, 0, 4);  // BI_RGB
    PutLe(out, image, 4);
    PutLe(out, 2835, 4);
    PutLe(out, 2835, 4);
    PutLe(out, static_cast<uint32_t>(table.size()), 4);
    PutLe(out, 0, 4);
    for (const Colour& colour : table) {
        out.push_back(colour.blue);
        out.push_back(colour.green);
        out.push_back(colour.red);
        out.push_back(0);
    }
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        out.insert(out.end(), row->begin(), row->end());
    }
    return out;
}

std::vector<uint8_t> ColourStrip(bool greyed) {
    const int stride = (kWidth * 3 + 3) / 4 * 4;
    std::vector<std::vector<uint8_t>> rows(kHeight, std::vector<uint8_t>(stride, 0));
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (!Covered(x, y)) {
                continue;
            }
            const Colour ink = greyed ? kGreyInk : kInk[x / kCellWidth];
            rows[y][3 * x] = ink.blue;
            rows[y][3 * x + 1] = ink.green;
            rows[y][3 * x + 2] = ink.red;
        }
    }
    return BitmapFile(24, {}, rows);
}

std::vector<uint8_t> MaskStrip() {
    const int stride = (kWidth + 31) / 32 * 4;
    std::vector<std::vector<uint8_t>> rows(kHeight, std::vector<uint8_t>(stride, 0));
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (!Covered(x, y)) {
                rows[y][x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
            }
        }
    }
    return BitmapFile(1, {{0, 0, 0}, {255, 255, 255}}, rows);
}

bool Write(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: glyph_maker COLOURS.bmp GREYED.bmp MASK.bmp\n");
        return 2;
    }
    if (!Write(argv[1], ColourStrip(false)) || !Write(argv[2], ColourStrip(true)) ||
        !Write(argv[3], MaskStrip())) {
        std::fprintf(stderr, "glyph_maker: cannot write the bitmaps\n");
        return 1;
    }
    return 0;
}
