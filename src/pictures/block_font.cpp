#include "pictures/block_font.h"

#include <cstddef>
#include <utility>

namespace orvan::pictures {

namespace {

using raster::Point;
using raster::Shape;

// Lays out the strokes of one letter in its box. Coordinates passed in are
// relative to the box's top-left corner.
class Glyph {
public:
    Glyph(double left, double top, double width, const LetterStyle& s)
        : left_(left),
          top_(top),
          w_(width),
          h_(s.height),
          sx_(s.stem),
          sy_(s.bar),
          c_(s.chamfer),
          mid_((s.height - s.bar) / 2),
          slant_(s.stem * 1.25) {}

    void Bar(double x0, double y0, double x1, double y1) {
        shape_.fills.push_back(raster::Rect(left_ + x0, top_ + y0, left_ + x1, top_ + y1));
    }
    void Stroke(Point a, Point b, Point c, Point d) {
        shape_.fills.push_back(raster::Quad(At(a), At(b), At(c), At(d)));
    }

    void Top() { Bar(0, 0, w_, sy_); }
    void Bottom() { Bar(0, h_ - sy_, w_, h_); }
    void Middle(double to) { Bar(0, mid_, to, mid_ + sy_); }
    void Middle() { Middle(w_); }
    void Left(double y0, double y1) { Bar(0, y0, sx_, y1); }
    void Right(double y0, double y1) { Bar(w_ - sx_, y0, w_, y1); }
    void Left() { Left(0, h_); }
    void Right() { Right(0, h_); }
    void UpperLeft() { Left(0, mid_ + sy_); }
    void UpperRight() { Right(0, mid_ + sy_); }
    void LowerRight() { Right(mid_, h_); }

    // Cut corners, the font's one flourish. Each cut runs along the line
    // that meets both edges at the chamfer distance from the corner.
    void CutTopLeft() { Cut({c_ + 1, -1}, {-1, c_ + 1}, {-1, -1}); }
    void CutTopRight() { Cut({w_ - c_ - 1, -1}, {w_ + 1, c_ + 1}, {w_ + 1, -1}); }
    void CutBottomRight() { Cut({w_ + 1, h_ - c_ - 1}, {w_ - c_ - 1, h_ + 1}, {w_ + 1, h_ + 1}); }

    double W() const { return w_; }
    double H() const { return h_; }
    double Stem() const { return sx_; }
    double Mid() const { return mid_; }
    double Bar() const { return sy_; }
    double Slant() const { return slant_; }

    Shape Take() { return std::move(shape_); }

private:
    Point At(Point p) const { return Point{left_ + p.x, top_ + p.y}; }
    void Cut(Point a, Point b, Point c) {
        if (c_ > 0) {
            shape_.cuts.push_back(raster::Triangle(At(a), At(b), At(c)));
        }
    }

    double left_, top_, w_, h_, sx_, sy_, c_, mid_, slant_;
    Shape shape_;
};

// The round letters share a frame: a ring cut at two opposite corners.
void DrawO(Glyph& g) {
    g.Top();
    g.Bottom();
    g.Left();
    g.Right();
    g.CutTopLeft();
    g.CutBottomRight();
}

void DrawP(Glyph& g) {
    g.Top();
    g.Left();
    g.UpperRight();
    g.Middle();
    g.CutTopLeft();
}

void DrawDiagonals(Glyph& g, char ch) {
    const double w = g.W(), h = g.H(), k = g.Slant(), s = g.Stem();
    switch (ch) {
    case 'K':
        g.Left();
        g.Stroke({s, g.Mid() + g.Bar()}, {w - k, 0}, {w, 0}, {s + k, g.Mid() + g.Bar()});
        g.Stroke({s, g.Mid()}, {s + k, g.Mid()}, {w, h}, {w - k, h});
        break;
    case 'N':
        g.Left();
        g.Right();
        g.Stroke({0, 0}, {k, 0}, {w, h}, {w - k, h});
        break;
    case 'R':
        DrawP(g);
        g.Stroke({w * 0.3, g.Mid() + g.Bar() / 2}, {w * 0.3 + k, g.Mid() + g.Bar() / 2}, {w, h}, {w - k, h});
        break;
    case 'V':
        g.Stroke({0, 0}, {k, 0}, {w / 2 + k / 2, h}, {w / 2 - k / 2, h});
        g.Stroke({w - k, 0}, {w, 0}, {w / 2 + k / 2, h}, {w / 2 - k / 2, h});
        break;
    case '7':
        g.Top();
        g.Stroke({w - k, g.Bar() / 2}, {w, g.Bar() / 2}, {w * 0.3 + k, h}, {w * 0.3, h});
        break;
    default:
        break;
    }
}

void DrawLetter(Glyph& g, char ch) {
    switch (ch) {
    case 'A':
        g.Top();
        g.Left();
        g.Right();
        g.Middle();
        g.CutTopLeft();
        g.CutTopRight();
        break;
    case 'E':
        g.Left();
        g.Top();
        g.Middle(g.W() * 0.8);
        g.Bottom();
        break;
    case 'I':
        g.Left();
        break;
    case 'O':
        DrawO(g);
        break;
    case 'P':
        DrawP(g);
        break;
    case 'S':
    case '9':
        g.Top();
        g.UpperLeft();
        g.Middle();
        if (ch == 'S') {
            g.LowerRight();
        } else {
            g.Right();
        }
        g.Bottom();
        g.CutTopLeft();
        g.CutBottomRight();
        break;
    case 'T':
        g.Top();
        g.Bar(g.W() / 2 - g.Stem() / 2, 0, g.W() / 2 + g.Stem() / 2, g.H());
        break;
    default:
        DrawDiagonals(g, ch);
        break;
    }
}

double Advance(char ch, const LetterStyle& style) {
    switch (ch) {
    case 'I':
        return style.stem;
    case ' ':
        return style.width * 0.5;
    default:
        return style.width;
    }
}

}  // namespace

double TextWidth(std::string_view text, const LetterStyle& style) {
    double width = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        width += Advance(text[i], style) + (i > 0 ? style.gap : 0.0);
    }
    return width;
}

std::vector<raster::Shape> LayOutText(std::string_view text, double left, double top, const LetterStyle& style) {
    std::vector<raster::Shape> shapes;
    double x = left;
    for (const char ch : text) {
        const double advance = Advance(ch, style);
        Glyph g(x, top, advance, style);
        DrawLetter(g, ch);
        Shape s = g.Take();
        if (!s.fills.empty()) {
            shapes.push_back(std::move(s));
        }
        x += advance + style.gap;
    }
    return shapes;
}

}  // namespace orvan::pictures
