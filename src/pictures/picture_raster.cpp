#include "pictures/picture_raster.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>

namespace orvan::pictures::raster {

namespace {

std::size_t Index(int x, int y, int width) {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
}

double Cross(Point a, Point b, Point p) { return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x); }

// Inside a convex polygon of either winding: p lies on the same side of
// every edge.
bool InsideConvex(const Polygon& poly, Point p) {
    if (poly.size() < 3) {
        return false;
    }
    bool anyPositive = false;
    bool anyNegative = false;
    for (std::size_t i = 0; i < poly.size(); ++i) {
        const double c = Cross(poly[i], poly[(i + 1) % poly.size()], p);
        anyPositive = anyPositive || c > 0;
        anyNegative = anyNegative || c < 0;
        if (anyPositive && anyNegative) {
            return false;
        }
    }
    return true;
}

bool InsideShape(const Shape& shape, Point p) {
    const auto in = [p](const Polygon& poly) { return InsideConvex(poly, p); };
    return std::any_of(shape.fills.begin(), shape.fills.end(), in) &&
           std::none_of(shape.cuts.begin(), shape.cuts.end(), in);
}

struct Box {
    int x0, y0, x1, y1;  // inclusive pixel range
};

Box Bounds(const Shape& shape, int width, int height) {
    double minX = 1e9, minY = 1e9, maxX = -1e9, maxY = -1e9;
    for (const Polygon& poly : shape.fills) {
        for (const Point& p : poly) {
            minX = std::min(minX, p.x);
            minY = std::min(minY, p.y);
            maxX = std::max(maxX, p.x);
            maxY = std::max(maxY, p.y);
        }
    }
    return Box{std::max(0, static_cast<int>(std::floor(minX))), std::max(0, static_cast<int>(std::floor(minY))),
               std::min(width - 1, static_cast<int>(std::floor(maxX))),
               std::min(height - 1, static_cast<int>(std::floor(maxY)))};
}

// One horizontal or vertical box pass, zero beyond the edges.
Coverage BoxPass(const Coverage& in, int radius, bool horizontal) {
    Coverage out(in.width, in.height);
    const double norm = 1.0 / (2.0 * radius + 1.0);
    const int lines = horizontal ? in.height : in.width;
    const int length = horizontal ? in.width : in.height;
    for (int line = 0; line < lines; ++line) {
        const auto at = [&](int i) { return horizontal ? in.At(i, line) : in.At(line, i); };
        double sum = 0;
        for (int i = -radius; i <= radius; ++i) {
            sum += at(i);
        }
        for (int i = 0; i < length; ++i) {
            const float v = static_cast<float>(sum * norm);
            if (horizontal) {
                out.Set(i, line, v);
            } else {
                out.Set(line, i, v);
            }
            sum += at(i + radius + 1) - at(i - radius);
        }
    }
    return out;
}

std::uint8_t Channel(double v) { return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 255.0))); }

}  // namespace

Polygon Rect(double left, double top, double right, double bottom) {
    return {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
}

Polygon Quad(Point a, Point b, Point c, Point d) { return {a, b, c, d}; }

Polygon Triangle(Point a, Point b, Point c) { return {a, b, c}; }

Coverage::Coverage(int w, int h)
    : width(w), height(h), value(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0.0f) {}

float Coverage::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return 0.0f;
    }
    return value[Index(x, y, width)];
}

void Coverage::Set(int x, int y, float v) {
    if (x >= 0 && y >= 0 && x < width && y < height) {
        value[Index(x, y, width)] = v;
    }
}

Coverage Rasterize(int width, int height, const std::vector<Shape>& shapes, int samplesPerAxis) {
    const int n = std::clamp(samplesPerAxis, 1, 8);
    // One bit per sample, so that pieces meeting inside a pixel add up
    // instead of leaving a faint seam.
    std::vector<std::uint64_t> hits(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    for (const Shape& shape : shapes) {
        const Box box = Bounds(shape, width, height);
        for (int y = box.y0; y <= box.y1; ++y) {
            for (int x = box.x0; x <= box.x1; ++x) {
                std::uint64_t bits = 0;
                for (int j = 0; j < n; ++j) {
                    for (int i = 0; i < n; ++i) {
                        const Point p{x + (i + 0.5) / n, y + (j + 0.5) / n};
                        if (InsideShape(shape, p)) {
                            bits |= std::uint64_t{1} << (j * n + i);
                        }
                    }
                }
                hits[Index(x, y, width)] |= bits;
            }
        }
    }
    Coverage out(width, height);
    for (std::size_t k = 0; k < hits.size(); ++k) {
        out.value[k] = static_cast<float>(std::popcount(hits[k])) / static_cast<float>(n * n);
    }
    return out;
}

Coverage Blur(const Coverage& source, int radius) {
    if (radius <= 0) {
        return source;
    }
    Coverage c = source;
    for (int pass = 0; pass < 3; ++pass) {
        c = BoxPass(BoxPass(c, radius, true), radius, false);
    }
    return c;
}

double DiscCoverage(int x, int y, double cx, double cy, double radius) {
    constexpr int kN = 8;
    int inside = 0;
    for (int j = 0; j < kN; ++j) {
        for (int i = 0; i < kN; ++i) {
            const double dx = x + (i + 0.5) / kN - cx;
            const double dy = y + (j + 0.5) / kN - cy;
            inside += dx * dx + dy * dy < radius * radius ? 1 : 0;
        }
    }
    return inside / static_cast<double>(kN * kN);
}

Rgb FromHex(std::uint32_t rrggbb) {
    return Rgb{static_cast<double>((rrggbb >> 16) & 0xFF), static_cast<double>((rrggbb >> 8) & 0xFF),
               static_cast<double>(rrggbb & 0xFF)};
}

Rgb Mix(Rgb a, Rgb b, double t) { return Rgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }

Rgb Scale(Rgb c, double k) { return Rgb{c.r * k, c.g * k, c.b * k}; }

Canvas::Canvas(int width, int height, Rgb fill)
    : width_(width), height_(height), px_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

bool Canvas::Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

Rgb Canvas::Get(int x, int y) const { return Inside(x, y) ? px_[Index(x, y, width_)] : Rgb{}; }

void Canvas::Put(int x, int y, Rgb c) {
    if (Inside(x, y)) {
        px_[Index(x, y, width_)] = c;
    }
}

void Canvas::Over(int x, int y, Rgb c, double alpha) {
    if (Inside(x, y) && alpha > 0) {
        Rgb& p = px_[Index(x, y, width_)];
        p = Mix(p, c, std::min(alpha, 1.0));
    }
}

void Canvas::Add(int x, int y, Rgb c, double k) {
    if (Inside(x, y)) {
        Rgb& p = px_[Index(x, y, width_)];
        p = Rgb{p.r + c.r * k, p.g + c.g * k, p.b + c.b * k};
    }
}

Picture Canvas::ToPicture24() const {
    Picture pic;
    pic.width = width_;
    pic.height = height_;
    pic.bitsPerPixel = 24;
    pic.pixels.reserve(px_.size() * 3);
    for (const Rgb& c : px_) {
        pic.pixels.push_back(Channel(c.b));
        pic.pixels.push_back(Channel(c.g));
        pic.pixels.push_back(Channel(c.r));
    }
    return pic;
}

std::uint32_t Random::Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
}

double Random::Unit() { return Next() / 4294967296.0; }

double Random::Range(double lo, double hi) { return lo + (hi - lo) * Unit(); }

}  // namespace orvan::pictures::raster
