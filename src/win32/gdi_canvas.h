// The control model's canvas on a GDI device context, with the fonts and
// pictures it needs kept for the life of the process.
#pragma once

#include <windows.h>

#include <map>
#include <tuple>

#include "ui/peer.h"
#include "ui/scale.h"

namespace orvan::win32 {

// The model's rectangle as GDI's.
inline RECT ToRect(const ui::Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

// A picture as the program's resources hold it: a packed DIB, drawn from
// there without a copy.
struct PictureBits {
    const BITMAPINFO* info = nullptr;
    const void* bits = nullptr;
    SIZE size{};
};

// The screen's DPI, as the system gives it to a program that says it is
// DPI aware.
int SystemDpi();

class GdiResources {
public:
    static GdiResources& Get();
    ~GdiResources();

    // The font at its point size at `dpi`.
    HFONT Font(const ui::Font& font, int dpi);
    // The picture to draw at `dpi` (the one made for it, or the nearest
    // larger) in the resources; info is nullptr when it cannot be read.
    const PictureBits& Bits(ui::PictureId id, int dpi);
    // Its natural size at `dpi`: its own where it was made for that scale.
    SIZE NaturalSize(ui::PictureId id, int dpi);
    HBRUSH Brush(COLORREF color);
    HICON Icon(bool small);

private:
    GdiResources() = default;
    std::map<std::tuple<std::string, int, int, int, bool, bool, bool>, HFONT> fonts_;
    std::map<std::pair<ui::PictureId, int>, PictureBits> pictures_;
    std::map<COLORREF, HBRUSH> brushes_;
};

COLORREF Resolve(ui::Color color);

// Draws in the pixels of a window laid out at `scale`.
class GdiCanvas : public ui::Canvas {
public:
    GdiCanvas(HDC dc, ui::Scale scale) : dc_(dc), scale_(scale) {}
    void FillRect(const ui::Rect& rect, ui::Color color) override;
    void FillEllipse(const ui::Rect& rect, ui::Color color) override;
    void DrawLine(int x1, int y1, int x2, int y2, ui::Color color) override;
    void DrawText(const ui::Rect& rect, const std::string& text, const ui::Font& font, ui::Color color,
                  ui::Align align) override;
    void DrawPicture(ui::PictureId picture, const ui::Rect& rect, bool stretch) override;

private:
    HDC dc_;
    ui::Scale scale_;
};

}  // namespace orvan::win32
