// The control model's canvas on a GDI device context, with the fonts and
// pictures it needs kept for the life of the process.
#pragma once

#include <windows.h>

#include <map>
#include <tuple>

#include "ui/peer.h"

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

class GdiResources {
public:
    static GdiResources& Get();
    ~GdiResources();

    HFONT Font(const ui::Font& font);
    // The picture in the resources; info is nullptr when it cannot be read.
    const PictureBits& Bits(ui::PictureId id);
    SIZE PictureSize(ui::PictureId id) { return Bits(id).size; }
    HBRUSH Brush(COLORREF color);
    HICON Icon(bool small);

private:
    GdiResources() = default;
    std::map<std::tuple<std::string, int, int, int, bool, bool, bool>, HFONT> fonts_;
    std::map<ui::PictureId, PictureBits> pictures_;
    std::map<COLORREF, HBRUSH> brushes_;
};

COLORREF Resolve(ui::Color color);

class GdiCanvas : public ui::Canvas {
public:
    explicit GdiCanvas(HDC dc) : dc_(dc) {}
    void FillRect(const ui::Rect& rect, ui::Color color) override;
    void FillEllipse(const ui::Rect& rect, ui::Color color) override;
    void DrawLine(int x1, int y1, int x2, int y2, ui::Color color) override;
    void DrawText(const ui::Rect& rect, const std::string& text, const ui::Font& font, ui::Color color,
                  ui::Align align) override;
    void DrawPicture(ui::PictureId picture, const ui::Rect& rect, bool stretch) override;

private:
    HDC dc_;
};

}  // namespace orvan::win32
