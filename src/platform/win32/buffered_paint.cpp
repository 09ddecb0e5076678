#include "platform/win32/buffered_paint.h"

namespace orvan::win32 {

void PaintBuffered(HDC dc, const RECT& dirty, const RECT& area, HBRUSH background,
                   const std::function<void(HDC)>& paint) {
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
    HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    SetViewportOrgEx(memory, -r.left, -r.top, nullptr);
    FillRect(memory, &r, background);
    paint(memory);
    BitBlt(dc, r.left, r.top, width, height, memory, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

}  // namespace orvan::win32
