#include "win32/gdi_canvas.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "win32/resource.h"
#include "ui/packed_bitmap.h"
#include "ui/stretch.h"

namespace orvan::win32 {

namespace {

int ResourceOf(ui::PictureId id) {
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

// The resource as a bitmap of its own, for the scaling that needs one.
HBITMAP LoadBitmapOf(ui::PictureId id) {
    return static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(ResourceOf(id)), IMAGE_BITMAP, 0,
                                           0, LR_CREATEDIBSECTION));
}

}  // namespace

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
    for (auto& [key, bitmap] : stretched_) DeleteObject(bitmap);
    for (auto& [key, brush] : brushes_) DeleteObject(brush);
}

HFONT GdiResources::Font(const ui::Font& f) {
    static const int dpi = [] {
        HDC screen = GetDC(nullptr);
        int pixels = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        return pixels;
    }();
    const int height = -static_cast<int>(std::lround(f.points * dpi / 72.0));
    auto key = std::make_tuple(f.face, height, f.weight, f.charset, f.italic, f.underline, f.strikeout);
    auto it = fonts_.find(key);
    if (it != fonts_.end()) return it->second;
    HFONT font = CreateFontA(height, 0, 0, 0, f.weight, f.italic, f.underline, f.strikeout,
                             static_cast<DWORD>(f.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, f.face.c_str());
    fonts_[key] = font;
    return font;
}

const PictureBits& GdiResources::Bits(ui::PictureId id) {
    auto it = pictures_.find(id);
    if (it != pictures_.end()) return it->second;
    return pictures_[id] = ReadBits(GetModuleHandleA(nullptr), ResourceOf(id));
}

HBITMAP GdiResources::Stretched(ui::PictureId id, int width, int height) {
    auto key = std::make_tuple(id, width, height);
    auto it = stretched_.find(key);
    if (it != stretched_.end()) return it->second;
    HBITMAP source = LoadBitmapOf(id);
    HBITMAP scaled = ScaleByAveraging(source, width, height);
    if (!scaled && source) scaled = ScaleByHalftone(source, PictureSize(id), width, height);
    if (source) DeleteObject(source);
    stretched_[key] = scaled;
    return scaled;
}

HBITMAP ScaleByAveraging(HBITMAP source, int width, int height) {
    DIBSECTION dib{};
    if (!source || GetObjectA(source, sizeof dib, &dib) != sizeof dib || dib.dsBm.bmBitsPixel != 24 || !dib.dsBm.bmBits)
        return nullptr;
    // The resource's rows, bottom-up and padded, as the core's top-down picture.
    ui::Picture picture;
    picture.width = dib.dsBm.bmWidth;
    picture.height = dib.dsBm.bmHeight;
    picture.bitsPerPixel = 24;
    const auto rowBytes = static_cast<std::size_t>(picture.width) * 3;
    picture.pixels.resize(rowBytes * static_cast<std::size_t>(picture.height));
    const auto* bits = static_cast<const std::uint8_t*>(dib.dsBm.bmBits);
    const bool bottomUp = dib.dsBmih.biHeight > 0;
    for (int y = 0; y < picture.height; ++y) {
        const int from = bottomUp ? picture.height - 1 - y : y;
        std::memcpy(picture.pixels.data() + static_cast<std::size_t>(y) * rowBytes,
                    bits + static_cast<std::size_t>(from) * static_cast<std::size_t>(dib.dsBm.bmWidthBytes), rowBytes);
    }
    const ui::Picture shown = ui::Stretch(picture, width, height);
    if (shown.width != width) return nullptr;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* target = nullptr;
    HBITMAP scaled = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &target, nullptr, 0);
    if (!scaled || !target) return nullptr;
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    const std::size_t shownRow = static_cast<std::size_t>(width) * 3;
    for (std::size_t y = 0; y < static_cast<std::size_t>(height); ++y)
        std::memcpy(static_cast<std::uint8_t*>(target) + y * stride, shown.pixels.data() + y * shownRow, shownRow);
    return scaled;
}

HBITMAP ScaleByHalftone(HBITMAP source, SIZE size, int width, int height) {
    HDC screen = GetDC(nullptr);
    HDC from = CreateCompatibleDC(screen);
    HDC to = CreateCompatibleDC(screen);
    HBITMAP scaled = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ oldFrom = SelectObject(from, source);
    HGDIOBJ oldTo = SelectObject(to, scaled);
    SetStretchBltMode(to, HALFTONE);
    SetBrushOrgEx(to, 0, 0, nullptr);
    StretchBlt(to, 0, 0, width, height, from, 0, 0, size.cx, size.cy, SRCCOPY);
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
    DeleteDC(from);
    DeleteDC(to);
    ReleaseDC(nullptr, screen);
    return scaled;
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
    HGDIOBJ old = SelectObject(dc_, GdiResources::Get().Font(font));
    SetBkMode(dc_, TRANSPARENT);
    SetTextColor(dc_, Resolve(color));
    UINT format = DT_TOP | DT_WORDBREAK | DT_NOPREFIX | (align == ui::Align::Center ? DT_CENTER : DT_LEFT);
    ::DrawTextA(dc_, text.c_str(), static_cast<int>(text.size()), &r, format);
    SelectObject(dc_, old);
}

void GdiCanvas::DrawPicture(ui::PictureId picture, const ui::Rect& rect, bool stretch) {
    GdiResources& res = GdiResources::Get();
    const PictureBits& bits = res.Bits(picture);
    if (!bits.info) return;
    const SIZE size = bits.size;
    if (stretch && (size.cx != rect.Width() || size.cy != rect.Height())) {
        HBITMAP bitmap = res.Stretched(picture, rect.Width(), rect.Height());
        if (!bitmap) return;
        HDC from = CreateCompatibleDC(dc_);
        HGDIOBJ old = SelectObject(from, bitmap);
        BitBlt(dc_, rect.left, rect.top, rect.Width(), rect.Height(), from, 0, 0, SRCCOPY);
        SelectObject(from, old);
        DeleteDC(from);
        return;
    }
    // The pictures are embedded at the size they are shown at and drawn
    // straight from the resources; a picture larger than its place shows its
    // top-left corner.
    const bool crop = size.cx > rect.Width() || size.cy > rect.Height();
    const int saved = crop ? SaveDC(dc_) : 0;
    if (crop) IntersectClipRect(dc_, rect.left, rect.top, rect.right, rect.bottom);
    StretchDIBits(dc_, rect.left, rect.top, size.cx, size.cy, 0, 0, size.cx, size.cy, bits.bits, bits.info,
                  DIB_RGB_COLORS, SRCCOPY);
    if (crop) RestoreDC(dc_, saved);
}

}  // namespace orvan::win32
