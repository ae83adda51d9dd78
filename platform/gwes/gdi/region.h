// A region of the screen or of a window: a set of pixels made of rectangles, as update regions,
// visible regions and clipping need them. Kept as a cairo region.
#pragma once

#include <vector>

#include <windows.h>

typedef struct _cairo_region cairo_region_t;

namespace tovarin::gwes {

class Region {
  public:
    Region();
    explicit Region(const RECT& rect);
    Region(const Region& other);
    Region(Region&& other) noexcept;
    Region& operator=(const Region& other);
    Region& operator=(Region&& other) noexcept;
    ~Region();

    bool Empty() const;
    // The smallest rectangle around the region; empty when the region is.
    RECT Bounds() const;
    std::vector<RECT> Rects() const;
    bool Contains(POINT point) const;
    bool operator==(const Region& other) const;

    void Clear();
    void Add(const RECT& rect);
    void Add(const Region& other);
    void Subtract(const RECT& rect);
    void Subtract(const Region& other);
    void Intersect(const RECT& rect);
    void Intersect(const Region& other);
    void Offset(int dx, int dy);

    cairo_region_t* raw() const { return region_; }

  private:
    cairo_region_t* region_;
};

}  // namespace tovarin::gwes
