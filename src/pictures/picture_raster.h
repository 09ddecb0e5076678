// Small drawing tools behind the pictures: anti-aliased polygons, a floating
// point colour canvas, blurs and a repeatable random number source.
#pragma once

#include <cstdint>
#include <vector>

#include "pictures/picture.h"

namespace orvan::pictures::raster {

struct Point {
    double x = 0;
    double y = 0;
};

// A convex polygon, corners in order (either winding), in pixel units where
// pixel (x, y) covers the square [x, x + 1) x [y, y + 1).
using Polygon = std::vector<Point>;

Polygon Rect(double left, double top, double right, double bottom);
Polygon Quad(Point a, Point b, Point c, Point d);
Polygon Triangle(Point a, Point b, Point c);

// A solid made of convex pieces, minus convex cut-outs.
struct Shape {
    std::vector<Polygon> fills;
    std::vector<Polygon> cuts;
};

// The fraction of each pixel covered, 0 to 1, rows top-down.
struct Coverage {
    int width = 0;
    int height = 0;
    std::vector<float> value;

    Coverage() = default;
    Coverage(int w, int h);
    float At(int x, int y) const;  // 0 outside
    void Set(int x, int y, float v);
};

// Coverage of the union of the shapes, sampled on an n x n grid per pixel
// (n from 1 to 8).
Coverage Rasterize(int width, int height, const std::vector<Shape>& shapes, int samplesPerAxis);

// A soft, roughly Gaussian blur: three box passes of the given radius.
Coverage Blur(const Coverage& source, int radius);

// Fraction of pixel (x, y) inside the circle of the given centre and radius.
double DiscCoverage(int x, int y, double cx, double cy, double radius);

struct Rgb {
    double r = 0;
    double g = 0;
    double b = 0;
};

Rgb FromHex(std::uint32_t rrggbb);
Rgb Mix(Rgb a, Rgb b, double t);  // a at t = 0, b at t = 1
Rgb Scale(Rgb c, double k);

// A colour canvas with channels in 0..255 (values outside are clamped when the
// picture is made).
class Canvas {
public:
    Canvas(int width, int height, Rgb fill);
    int Width() const { return width_; }
    int Height() const { return height_; }
    Rgb Get(int x, int y) const;
    void Put(int x, int y, Rgb c);
    // Paints c over the pixel with the given opacity (0..1).
    void Over(int x, int y, Rgb c, double alpha);
    // Adds light: the pixel gains c times k.
    void Add(int x, int y, Rgb c, double k);
    Picture ToPicture24() const;

private:
    bool Inside(int x, int y) const;
    int width_;
    int height_;
    std::vector<Rgb> px_;
};

// xorshift32: the same stars in the same places on every run.
class Random {
public:
    explicit Random(std::uint32_t seed) : state_(seed != 0 ? seed : 0x9E3779B9u) {}
    std::uint32_t Next();
    double Unit();  // [0, 1)
    double Range(double lo, double hi);

private:
    std::uint32_t state_;
};

}  // namespace orvan::pictures::raster
