// Painting a window without flicker.
#pragma once

#include <windows.h>

#include <functional>

namespace orvan::win32 {

// Paints the `dirty` part of a window: where it meets `area` (where anything
// but background can be) by `paint` into an off-screen bitmap, on
// `background`, copied in one go; the rest is filled with `background`
// directly. `paint` draws in the window's client coordinates.
void PaintBuffered(HDC dc, const RECT& dirty, const RECT& area, HBRUSH background,
                   const std::function<void(HDC)>& paint);

}  // namespace orvan::win32
