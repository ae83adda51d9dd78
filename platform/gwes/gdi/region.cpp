#include "gwes/gdi/region.h"

#include <cairo.h>

namespace tovarin::gwes {
namespace {

cairo_rectangle_int_t ToCairo(const RECT& rect) {
    if (rect.right <= rect.left || rect.bottom <= rect.top) {
        return {0, 0, 0, 0};
    }
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace

Region::Region() : region_(cairo_region_create()) {}

Region::Region(const RECT& rect) : region_(nullptr) {
    const cairo_rectangle_int_t r = ToCairo(rect);
    region_ = cairo_region_create_rectangle(&r);
}

Region::Region(const Region& other) : region_(cairo_region_copy(other.region_)) {}

Region::Region(Region&& other) noexcept : region_(other.region_) {
    other.region_ = cairo_region_create();
}

Region& Region::operator=(const Region& other) {
    if (this != &other) {
        cairo_region_t* copy = cairo_region_copy(other.region_);
        cairo_region_destroy(region_);
        region_ = copy;
    }
    return *this;
}

Region& Region::operator=(Region&& other) noexcept {
    std::swap(region_, other.region_);
    return *this;
}

Region::~Region() {
    cairo_region_destroy(region_);
}

bool Region::Empty() const {
    return cairo_region_is_empty(region_);
}

RECT Region::Bounds() const {
    if (Empty()) {
        return RECT{0, 0, 0, 0};
    }
    cairo_rectangle_int_t r;
    cairo_region_get_extents(region_, &r);
    return RECT{r.x, r.y, r.x + r.width, r.y + r.height};
}

std::vector<RECT> Region::Rects() const {
    std::vector<RECT> rects;
    const int count = cairo_region_num_rectangles(region_);
    rects.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        cairo_rectangle_int_t r;
        cairo_region_get_rectangle(region_, i, &r);
        rects.push_back(RECT{r.x, r.y, r.x + r.width, r.y + r.height});
    }
    return rects;
}

bool Region::Contains(POINT point) const {
    return cairo_region_contains_point(region_, point.x, point.y);
}

bool Region::operator==(const Region& other) const {
    return cairo_region_equal(region_, other.region_);
}

void Region::Clear() {
    cairo_region_destroy(region_);
    region_ = cairo_region_create();
}

void Region::Add(const RECT& rect) {
    const cairo_rectangle_int_t r = ToCairo(rect);
    cairo_region_union_rectangle(region_, &r);
}

void Region::Add(const Region& other) {
    cairo_region_union(region_, other.region_);
}

void Region::Subtract(const RECT& rect) {
    const cairo_rectangle_int_t r = ToCairo(rect);
    cairo_region_subtract_rectangle(region_, &r);
}

void Region::Subtract(const Region& other) {
    cairo_region_subtract(region_, other.region_);
}

void Region::Intersect(const RECT& rect) {
    const cairo_rectangle_int_t r = ToCairo(rect);
    cairo_region_intersect_rectangle(region_, &r);
}

void Region::Intersect(const Region& other) {
    cairo_region_intersect(region_, other.region_);
}

void Region::Offset(int dx, int dy) {
    cairo_region_translate(region_, dx, dy);
}

}  // namespace tovarin::gwes
