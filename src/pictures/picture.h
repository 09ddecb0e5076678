// A picture held in memory: what the pictures drawn by code come out as,
// what the stretch scales and what the file encoders write.
#pragma once

#include <cstdint>
#include <vector>

namespace orvan::pictures {

// An uncompressed picture held top-down in memory.
struct Picture {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 24;  // 8 (palette) or 24 (B, G, R)
    // 8-bit pictures: up to 256 colours as 0x00RRGGBB.
    std::vector<std::uint32_t> palette;
    // Top-down rows without padding: one palette index per pixel at 8 bits,
    // three bytes B, G, R per pixel at 24 bits.
    std::vector<std::uint8_t> pixels;
    // Icons only: one entry per pixel, top-down, non-zero where the pixel is
    // transparent. Empty for an opaque picture.
    std::vector<std::uint8_t> mask;

    // The colour at (x, y) as 0x00RRGGBB; 0 (black) outside the picture or for
    // a palette index beyond the palette.
    std::uint32_t At(int x, int y) const;
    // True when the mask marks (x, y) transparent.
    bool IsTransparent(int x, int y) const;
};

}  // namespace orvan::pictures
