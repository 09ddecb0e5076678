// Painting a window without flicker.
#pragma once

#include <windows.h>

#include <functional>

namespace orvan::win32 {

// Paints the `dirty` part of a window: where it meets `area` (where anything
// but background can be) by `paint` into an off-screen bitmap, on
// `background`, a band of rows at a time, each band copied when it is
// finished; the rest is filled with `background` directly. `paint` draws in
// the window's client coordinates and is told the band it paints.
void PaintBuffered(HDC dc, const RECT& dirty, const RECT& area, HBRUSH background,
                   const std::function<void(HDC, const RECT&)>& paint);

}  // namespace orvan::win32
