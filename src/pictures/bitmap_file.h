// Windows bitmap (.bmp) and icon (.ico) files for the pictures, so the Windows
// build can embed them as resources.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pictures/pictures.h"

namespace orvan::pictures {

// A .bmp file: BITMAPFILEHEADER and BITMAPINFOHEADER, uncompressed (BI_RGB),
// rows bottom-up and padded to four bytes; 8-bit pictures carry their palette.
// An empty string for a picture that is neither 8 nor 24 bits or whose pixel
// data does not match its size.
std::string EncodeBmp(const Picture& picture);

// A .ico file holding one 8-bit image: the colour (XOR) bitmap followed by
// the 1-bit AND mask, set where mask is non-zero (one entry per pixel,
// top-down; empty means fully opaque). Transparent pixels are written black.
// An empty string unless the icon is 8-bit, at most 256 x 256, with pixels
// and mask matching its size.
std::string EncodeIco(const Picture& icon, const std::vector<std::uint8_t>& mask);
// The same with several images, each with its own mask (Picture::mask), in
// the order given.
std::string EncodeIco(const std::vector<Picture>& images);

// Reads an uncompressed 8-bit or 24-bit .bmp file (bottom-up or top-down).
// Anything else, or a damaged file, gives nothing.
std::optional<Picture> DecodeBmp(std::string_view file);

// Reads an image of a .ico file (the first unless told) if it is an
// uncompressed 8-bit one; the AND mask comes back in Picture::mask.
std::optional<Picture> DecodeIco(std::string_view file, std::size_t index = 0);

}  // namespace orvan::pictures
