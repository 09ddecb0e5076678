#include "win32/buffered_paint.h"

#include <algorithm>

namespace orvan::win32 {

namespace {

// The off-screen bitmap holds this many rows of the area: a whole window's
// bitmap would cost its memory, and the time to touch it, at every full paint.
constexpr int kBandRows = 64;

}  // namespace

void PaintBuffered(HDC dc, const RECT& dirty, const RECT& area, HBRUSH background,
                   const std::function<void(HDC, const RECT&)>& paint) {
    RECT r{};
    IntersectRect(&r, &dirty, &area);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    if (width <= 0 || height <= 0) {
        FillRect(dc, &dirty, background);
        return;
    }
    const int saved = SaveDC(dc);
    ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
    FillRect(dc, &dirty, background);
    RestoreDC(dc, saved);

    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, width, std::min(height, kBandRows));
    HGDIOBJ old = SelectObject(memory, bitmap);
    for (int top = r.top; top < r.bottom; top += kBandRows) {
        const RECT band{r.left, top, r.right, std::min<int>(r.bottom, top + kBandRows)};
        SetViewportOrgEx(memory, -band.left, -band.top, nullptr);
        FillRect(memory, &band, background);
        paint(memory, band);
        BitBlt(dc, band.left, band.top, width, band.bottom - band.top, memory, band.left, band.top, SRCCOPY);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

}  // namespace orvan::win32
