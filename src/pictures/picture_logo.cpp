// The company logo: "VOSTEK" in bevelled chrome letters over a starfield lit
// by two lens flares.
#include <algorithm>
#include <cmath>
#include <vector>

#include "pictures/block_font.h"
#include "pictures/picture_raster.h"
#include "pictures/pictures.h"
#include "ui/console_layout.h"
#include "pictures/stretch.h"

namespace orvan::pictures {

namespace {

using raster::Canvas;
using raster::Coverage;
using raster::Rgb;

constexpr double kPi = 3.14159265358979323846;

double Gauss(double d2, double sigma) { return std::exp(-d2 / (2 * sigma * sigma)); }

double SmoothStep(double edge0, double edge1, double v) {
    const double t = std::clamp((v - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

// Smooth value noise on a coarse grid of random values, for the nebula.
class ValueNoise {
public:
    ValueNoise(std::uint32_t seed, int cell) : cell_(cell) {
        raster::Random rng(seed);
        for (double& v : grid_) {
            v = rng.Unit();
        }
    }
    double At(double x, double y) const {
        const double gx = x / cell_, gy = y / cell_;
        const int ix = static_cast<int>(std::floor(gx)), iy = static_cast<int>(std::floor(gy));
        const double fx = SmoothStep(0, 1, gx - ix), fy = SmoothStep(0, 1, gy - iy);
        const double top = Lerp(Cell(ix, iy), Cell(ix + 1, iy), fx);
        const double bottom = Lerp(Cell(ix, iy + 1), Cell(ix + 1, iy + 1), fx);
        return Lerp(top, bottom, fy);
    }

private:
    static constexpr int kSide = 32;
    static double Lerp(double a, double b, double t) { return a + (b - a) * t; }
    double Cell(int x, int y) const {
        const int wx = ((x % kSide) + kSide) % kSide, wy = ((y % kSide) + kSide) % kSide;
        return grid_[static_cast<std::size_t>(wy * kSide + wx)];
    }
    int cell_;
    double grid_[kSide * kSide] = {};
};

// Each painter draws with `detail` pixels to each of the 96-DPI drawing's:
// positions and sizes are given in the 96-DPI drawing's pixels.

void PaintSky(Canvas& c, double detail) {
    const ValueNoise coarse(0x5EED0001u, 48), fine(0x5EED0002u, 17);
    for (int y0 = 0; y0 < c.Height(); ++y0) {
        for (int x0 = 0; x0 < c.Width(); ++x0) {
            const double t = static_cast<double>(y0) / c.Height();
            const double x = x0 / detail, y = y0 / detail;
            Rgb sky = raster::Mix(Rgb{6, 8, 30}, Rgb{1, 1, 6}, t);
            const double cloud = std::pow(0.65 * coarse.At(x, y) + 0.35 * fine.At(x, y), 2.2);
            const double violet = Gauss((x - 140.0) * (x - 140.0) / 4 + (y - 70.0) * (y - 70.0), 70);
            const double teal = Gauss((x - 430.0) * (x - 430.0) / 6 + (y - 150.0) * (y - 150.0), 60);
            sky = raster::Mix(sky, Rgb{48, 14, 84}, 0.55 * cloud * violet);
            sky = raster::Mix(sky, Rgb{0, 52, 78}, 0.55 * cloud * teal);
            c.Put(x0, y0, sky);
        }
    }
}

void PaintStar(Canvas& c, double x, double y, Rgb colour, double brightness, double sigma) {
    const int r = static_cast<int>(std::ceil(sigma * 3));
    for (int j = -r; j <= r; ++j) {
        for (int i = -r; i <= r; ++i) {
            const int px = static_cast<int>(std::floor(x)) + i, py = static_cast<int>(std::floor(y)) + j;
            const double dx = px + 0.5 - x, dy = py + 0.5 - y;
            c.Add(px, py, colour, brightness * Gauss(dx * dx + dy * dy, sigma));
        }
    }
}

// Thin crossed spikes on the brightest stars.
void PaintSpikes(Canvas& c, double x, double y, Rgb colour, double brightness, int length) {
    for (int k = -length; k <= length; ++k) {
        const double fade = brightness * std::pow(1.0 - std::abs(k) / (length + 1.0), 2);
        c.Add(static_cast<int>(x) + k, static_cast<int>(y), colour, fade);
        c.Add(static_cast<int>(x), static_cast<int>(y) + k, colour, fade);
    }
}

void PaintStars(Canvas& c, double detail) {
    raster::Random rng(0x0A15C0DEu);
    const Rgb tints[] = {{255, 255, 255}, {175, 205, 255}, {255, 226, 180}, {200, 220, 255}};
    for (int n = 0; n < 950; ++n) {
        const double x = rng.Range(0, kLogoWidth), y = rng.Range(0, kLogoHeight);
        const double b = std::pow(rng.Unit(), 3.0);
        const Rgb tint = tints[rng.Next() % 4];
        PaintStar(c, x * detail, y * detail, tint, 0.08 + 0.9 * b, (0.45 + 0.5 * b) * detail);
    }
    for (int n = 0; n < 14; ++n) {
        const double x = rng.Range(10, kLogoWidth - 10), y = rng.Range(8, kLogoHeight - 8);
        const Rgb tint = tints[rng.Next() % 4];
        PaintStar(c, x * detail, y * detail, tint, 1.0, 1.1 * detail);
        const int length = 4 + static_cast<int>(rng.Next() % 7);
        PaintSpikes(c, x * detail, y * detail, tint, 0.5, static_cast<int>(std::lround(length * detail)));
    }
}

struct Flare {
    double x, y;
    Rgb core, glow, streak;
    double size;  // 1 for the main flare
};

// One light source: a hot core, a coloured glow, star-like rays and a long
// horizontal streak.
void PaintFlareSource(Canvas& c, const Flare& f) {
    for (int y = 0; y < c.Height(); ++y) {
        for (int x = 0; x < c.Width(); ++x) {
            const double dx = x + 0.5 - f.x, dy = y + 0.5 - f.y;
            const double d2 = dx * dx + dy * dy, d = std::sqrt(d2);
            const double angle = std::atan2(dy, dx);
            const double rays = std::pow(0.5 + 0.5 * std::cos(angle * 10), 12) * std::exp(-d / (45 * f.size));
            c.Add(x, y, f.core, 1.2 * Gauss(d2, 5 * f.size));
            c.Add(x, y, f.glow, 0.55 * Gauss(d2, 26 * f.size) + 0.18 * std::exp(-d / (90 * f.size)) + 0.25 * rays);
            c.Add(x, y, f.streak, 0.7 * Gauss(dy * dy, 1.3 * f.size) * std::exp(-std::abs(dx) / (170 * f.size)));
        }
    }
}

struct Ghost {
    double t;  // position along the line from the source through the centre
    double radius;
    Rgb colour;
    bool ring;
};

// The reflections a bright light leaves in a lens, strung along the line
// through the picture's centre.
void PaintGhosts(Canvas& c, const Flare& f, double detail) {
    const Ghost ghosts[] = {
        {0.35, 6, {90, 160, 255}, false}, {0.62, 11, {80, 255, 140}, false}, {1.30, 20, {255, 80, 220}, false},
        {1.55, 34, {60, 220, 255}, true}, {1.80, 9, {255, 170, 60}, false},  {2.15, 16, {140, 110, 255}, false},
    };
    const double cx = c.Width() / 2.0, cy = c.Height() / 2.0;
    const double margin = 4 * detail, ringWidth = 1.6 * detail, edge = 2.5 * detail;
    for (const Ghost& g : ghosts) {
        const double gx = f.x + g.t * (cx - f.x), gy = f.y + g.t * (cy - f.y);
        const double radius = g.radius * detail;
        for (int y = static_cast<int>(gy - radius - margin); y <= static_cast<int>(gy + radius + margin); ++y) {
            for (int x = static_cast<int>(gx - radius - margin); x <= static_cast<int>(gx + radius + margin); ++x) {
                const double d = std::hypot(x + 0.5 - gx, y + 0.5 - gy);
                const double k = g.ring ? 0.22 * Gauss((d - radius) * (d - radius), ringWidth)
                                        : 0.2 * (1 - SmoothStep(radius - edge, radius, d)) * (0.6 + 0.4 * d / radius);
                c.Add(x, y, g.colour, k);
            }
        }
    }
}

void PaintFlares(Canvas& c, double detail) {
    const Flare main{470 * detail, 42 * detail, {255, 246, 230}, {255, 132, 36}, {110, 160, 255}, 1.0 * detail};
    const Flare second{58 * detail, 176 * detail, {220, 250, 255}, {40, 170, 255}, {190, 90, 255}, 0.55 * detail};
    PaintFlareSource(c, main);
    PaintFlareSource(c, second);
    PaintGhosts(c, main, detail);
}

// Chrome: bright sky above the horizon line, a dark band just below it,
// lighter again towards the foot of the letters.
Rgb Chrome(double t) {
    if (t < 0.52) {
        return raster::Mix(Rgb{246, 250, 255}, Rgb{120, 168, 232}, t / 0.52);
    }
    if (t < 0.56) {
        return raster::Mix(Rgb{120, 168, 232}, Rgb{18, 40, 110}, (t - 0.52) / 0.04);
    }
    return raster::Mix(Rgb{18, 40, 110}, Rgb{96, 176, 255}, (t - 0.56) / 0.44);
}

// A length of the 96-DPI drawing in whole pixels at `detail`.
int Pixels(int length, double detail) { return static_cast<int>(std::lround(length * detail)); }

void PaintLettering(Canvas& c, double detail) {
    const LetterStyle style = LetterStyle{68, 96, 20, 18, 14, 18}.Times(detail);
    const std::string_view word = "VOSTEK";
    const double left = std::round((c.Width() - TextWidth(word, style)) / 2);
    const double top = 80 * detail;
    const Coverage face = raster::Rasterize(c.Width(), c.Height(), LayOutText(word, left, top, style), 8);
    const Coverage shadow = raster::Blur(face, Pixels(4, detail));
    const Coverage glow = raster::Blur(face, Pixels(7, detail));
    const Coverage bevel = raster::Blur(face, Pixels(2, detail));
    const int shadowX = Pixels(5, detail), shadowY = Pixels(6, detail), rim = Pixels(1, detail);

    for (int y = 0; y < c.Height(); ++y) {
        for (int x = 0; x < c.Width(); ++x) {
            const double f = face.At(x, y);
            c.Add(x, y, Rgb{40, 120, 255}, 0.9 * glow.At(x, y) * (1 - f));
            c.Over(x, y, Rgb{0, 0, 0}, 0.85 * shadow.At(x - shadowX, y - shadowY) * (1 - f));
            if (f <= 0) {
                continue;
            }
            // Light from the upper left on the bevelled rims.
            const double gx = bevel.At(x + rim, y) - bevel.At(x - rim, y);
            const double gy = bevel.At(x, y + rim) - bevel.At(x, y - rim);
            const double light = std::clamp(-(gx + gy) * 1.6, -1.0, 1.0);
            Rgb metal = Chrome((y + 0.5 - top) / style.height);
            metal = light > 0 ? raster::Mix(metal, Rgb{255, 255, 255}, light)
                              : raster::Mix(metal, Rgb{6, 14, 50}, -light * 0.9);
            c.Over(x, y, metal, f);
        }
    }
}

// A thin rule under the name, brightest in the middle.
void PaintRule(Canvas& c, double detail) {
    // The rows of the 96-DPI drawing's rows 187 to 189.
    const int first = Pixels(187, detail), middle = Pixels(188, detail), last = Pixels(190, detail) - 1;
    const int end = Pixels(189, detail);
    for (int x = 0; x < c.Width(); ++x) {
        const double u = (x + 0.5) / c.Width();
        const double k = std::pow(std::sin(u * kPi), 3);
        for (int y = middle; y < end; ++y) c.Add(x, y, Rgb{255, 150, 40}, 0.9 * k);
        for (int y = first; y < middle; ++y) c.Add(x, y, Rgb{255, 120, 20}, 0.25 * k);
        for (int y = end; y <= last; ++y) c.Add(x, y, Rgb{255, 120, 20}, 0.25 * k);
    }
}

}  // namespace

Picture MakeLogo(double detail) {
    Canvas canvas(Pixels(kLogoWidth, detail), Pixels(kLogoHeight, detail), Rgb{});
    PaintSky(canvas, detail);
    PaintStars(canvas, detail);
    PaintFlares(canvas, detail);
    PaintRule(canvas, detail);
    PaintLettering(canvas, detail);
    return canvas.ToPicture24();
}

Picture MakeShownLogo(int dpi) {
    ui::ConsoleLayout layout;
    layout.SetScaling(ui::Scale(dpi));
    const ui::Rect shown = layout.Vostek.Bounds();
    return pictures::Stretch(MakeLogo(static_cast<double>(dpi) / ui::kBaseDpi), shown.Width(), shown.Height());
}

}  // namespace orvan::pictures
