#include "win32/gdi_canvas.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "win32/resource.h"
#include "ui/packed_bitmap.h"

namespace orvan::win32 {

namespace {

int BaseResourceOf(ui::PictureId id) {
    switch (id) {
    case ui::PictureId::Background:
        return IDB_BACKGROUND;
    case ui::PictureId::Title:
        return IDB_TITLE;
    case ui::PictureId::Logo:
        return IDB_LOGO;
    case ui::PictureId::OptionsHeader:
        return IDB_OPTIONS;
    case ui::PictureId::None:
        break;
    }
    return 0;
}

// The resource of the picture made for `dpi`, one of ui::kPictureDpis.
int ResourceOf(ui::PictureId id, int dpi) {
    std::size_t scale = 0;
    while (scale + 1 < ui::kPictureDpis.size() && ui::kPictureDpis[scale] < dpi) ++scale;
    const int base = BaseResourceOf(id);
    return base ? base + IDB_SCALE_STEP * static_cast<int>(scale) : 0;
}

// The resource's header, palette and rows, once checked to lie within it.
PictureBits ReadBits(HMODULE module, int resource) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(resource), MAKEINTRESOURCEA(2));  // RT_BITMAP
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const auto* data = static_cast<const std::uint8_t*>(loaded ? LockResource(loaded) : nullptr);
    const DWORD length = found ? SizeofResource(module, found) : 0;
    PictureBits picture;
    if (!data || length < sizeof(BITMAPINFOHEADER)) return picture;
    BITMAPINFOHEADER header;
    std::memcpy(&header, data, sizeof header);
    const std::optional<std::uint64_t> offset =
        ui::PackedBitsOffset({header.biSize, header.biWidth, header.biHeight, header.biPlanes, header.biBitCount,
                              header.biCompression, header.biClrUsed},
                             length);
    if (!offset) return picture;
    picture.info = reinterpret_cast<const BITMAPINFO*>(data);
    picture.bits = data + *offset;
    picture.size = {header.biWidth, header.biHeight < 0 ? -header.biHeight : header.biHeight};
    return picture;
}

}  // namespace

int SystemDpi() {
    static const int dpi = [] {
        HDC screen = GetDC(nullptr);
        const int pixels = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        return pixels > 0 ? pixels : ui::kBaseDpi;
    }();
    return dpi;
}

COLORREF Resolve(ui::Color color) {
    if (color & ui::kSystemColorFlag) return GetSysColor(static_cast<int>(color & 0xFF));
    return color & 0xFFFFFF;
}

GdiResources& GdiResources::Get() {
    static GdiResources resources;
    return resources;
}

GdiResources::~GdiResources() {
    for (auto& [key, font] : fonts_) DeleteObject(font);
    for (auto& [key, brush] : brushes_) DeleteObject(brush);
}

HFONT GdiResources::Font(const ui::Font& f, int dpi) {
    const int height = -ui::Scale(dpi).FontPixels(f.points);
    auto key = std::make_tuple(f.face, height, f.weight, f.charset, f.italic, f.underline, f.strikeout);
    auto it = fonts_.find(key);
    if (it != fonts_.end()) return it->second;
    HFONT font = CreateFontA(height, 0, 0, 0, f.weight, f.italic, f.underline, f.strikeout,
                             static_cast<DWORD>(f.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, f.face.c_str());
    fonts_[key] = font;
    return font;
}

const PictureBits& GdiResources::Bits(ui::PictureId id, int dpi) {
    const auto key = std::make_pair(id, ui::PictureDpi(dpi));
    auto it = pictures_.find(key);
    if (it != pictures_.end()) return it->second;
    return pictures_[key] = ReadBits(GetModuleHandleA(nullptr), ResourceOf(id, key.second));
}

SIZE GdiResources::NaturalSize(ui::PictureId id, int dpi) {
    const SIZE made = Bits(id, dpi).size;
    const double scale = static_cast<double>(dpi) / ui::PictureDpi(dpi);
    return {std::lround(made.cx * scale), std::lround(made.cy * scale)};
}

HBRUSH GdiResources::Brush(COLORREF color) {
    auto it = brushes_.find(color);
    if (it != brushes_.end()) return it->second;
    HBRUSH brush = CreateSolidBrush(color);
    brushes_[color] = brush;
    return brush;
}

HICON GdiResources::Icon(bool small) {
    const int size = small ? GetSystemMetrics(SM_CXSMICON) : GetSystemMetrics(SM_CXICON);
    return static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_ORVAN97), IMAGE_ICON, size, size, LR_SHARED));
}

// ------------------------------------------------------------------ GdiCanvas

void GdiCanvas::FillRect(const ui::Rect& rect, ui::Color color) {
    RECT r = ToRect(rect);
    ::FillRect(dc_, &r, GdiResources::Get().Brush(Resolve(color)));
}

void GdiCanvas::FillEllipse(const ui::Rect& rect, ui::Color color) {
    HPEN pen = CreatePen(PS_SOLID, 1, Resolve(color));
    HGDIOBJ oldPen = SelectObject(dc_, pen);
    HGDIOBJ oldBrush = SelectObject(dc_, GdiResources::Get().Brush(Resolve(color)));
    Ellipse(dc_, rect.left, rect.top, rect.right, rect.bottom);
    SelectObject(dc_, oldBrush);
    SelectObject(dc_, oldPen);
    DeleteObject(pen);
}

void GdiCanvas::DrawLine(int x1, int y1, int x2, int y2, ui::Color color) {
    HPEN pen = CreatePen(PS_SOLID, 1, Resolve(color));
    HGDIOBJ old = SelectObject(dc_, pen);
    MoveToEx(dc_, x1, y1, nullptr);
    LineTo(dc_, x2, y2);
    SetPixel(dc_, x2, y2, Resolve(color));  // LineTo leaves the last point out
    SelectObject(dc_, old);
    DeleteObject(pen);
}

void GdiCanvas::DrawText(const ui::Rect& rect, const std::string& text, const ui::Font& font, ui::Color color,
                         ui::Align align) {
    RECT r = ToRect(rect);
    HGDIOBJ old = SelectObject(dc_, GdiResources::Get().Font(font, scale_.Dpi()));
    SetBkMode(dc_, TRANSPARENT);
    SetTextColor(dc_, Resolve(color));
    UINT format = DT_TOP | DT_WORDBREAK | DT_NOPREFIX | (align == ui::Align::Center ? DT_CENTER : DT_LEFT);
    ::DrawTextA(dc_, text.c_str(), static_cast<int>(text.size()), &r, format);
    SelectObject(dc_, old);
}

void GdiCanvas::DrawPicture(ui::PictureId picture, const ui::Rect& rect, bool stretch) {
    const PictureBits& bits = GdiResources::Get().Bits(picture, scale_.Dpi());
    if (!bits.info) return;
    // The pictures are embedded for each common scale at the size they are
    // shown at (the picture generator scales the logo to its place), so
    // they are drawn straight from the resources, uncopied and unscaled.
    // At any other scale the nearest larger one is brought down smoothly.
    // One that is not stretched and is larger than its place shows its
    // top-left corner.
    const SIZE size = bits.size;
    const SIZE natural = GdiResources::Get().NaturalSize(picture, scale_.Dpi());
    const int width = stretch ? rect.Width() : natural.cx;
    const int height = stretch ? rect.Height() : natural.cy;
    const bool crop = width > rect.Width() || height > rect.Height();
    const bool scaled = width != size.cx || height != size.cy;
    const int saved = crop || scaled ? SaveDC(dc_) : 0;
    if (crop) IntersectClipRect(dc_, rect.left, rect.top, rect.right, rect.bottom);
    if (scaled) {
        SetStretchBltMode(dc_, HALFTONE);
        SetBrushOrgEx(dc_, 0, 0, nullptr);
    }
    StretchDIBits(dc_, rect.left, rect.top, width, height, 0, 0, size.cx, size.cy, bits.bits, bits.info, DIB_RGB_COLORS,
                  SRCCOPY);
    if (saved) RestoreDC(dc_, saved);
}

}  // namespace orvan::win32
