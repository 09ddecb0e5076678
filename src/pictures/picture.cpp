#include "pictures/picture.h"

#include <cstddef>

#include "ui/types.h"  // kBlack: black is 0 in either colour notation

namespace orvan::pictures {

namespace {

std::size_t Index(int x, int y, int width) {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
}

}  // namespace

std::uint32_t Picture::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return ui::kBlack;
    }
    const std::size_t i = Index(x, y, width);
    if (bitsPerPixel == 8) {
        if (i >= pixels.size() || pixels[i] >= palette.size()) {
            return ui::kBlack;
        }
        return palette[pixels[i]] & 0xFFFFFFu;
    }
    if (3 * i + 2 >= pixels.size()) {
        return ui::kBlack;
    }
    return (std::uint32_t{pixels[3 * i + 2]} << 16) | (std::uint32_t{pixels[3 * i + 1]} << 8) | pixels[3 * i];
}

bool Picture::IsTransparent(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return false;
    }
    const std::size_t i = Index(x, y, width);
    return i < mask.size() && mask[i] != 0;
}

}  // namespace orvan::pictures
