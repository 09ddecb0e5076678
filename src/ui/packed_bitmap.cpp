#include "ui/packed_bitmap.h"

namespace orvan::ui {

namespace {

constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint64_t kColourSize = 4;  // an RGBQUAD

}  // namespace

std::optional<std::uint64_t> PackedBitsOffset(const PackedBitmapHeader& header, std::uint64_t length) {
    const std::uint16_t depth = header.bitsPerPixel;
    const bool known = depth == 1 || depth == 4 || depth == 8 || depth == 24 || depth == 32;
    if (!known || header.headerSize < kInfoHeaderSize || header.compression != 0 || header.width <= 0 ||
        header.height == 0 || header.planes != 1)
        return std::nullopt;
    // Each step is checked against what is left of the block, by subtraction
    // and division, so a huge field cannot wrap a sum into a small one.
    if (header.headerSize > length) return std::nullopt;
    std::uint64_t left = length - header.headerSize;
    const std::uint64_t colours = header.coloursUsed ? header.coloursUsed : depth <= 8 ? std::uint64_t{1} << depth : 0;
    if (colours > left / kColourSize) return std::nullopt;
    const std::uint64_t offset = header.headerSize + colours * kColourSize;
    left -= colours * kColourSize;
    // Rows are padded to whole 32-bit words; width < 2^31 and depth <= 32,
    // so a row's size fits easily.
    const std::uint64_t stride = (static_cast<std::uint64_t>(header.width) * depth + 31) / 32 * 4;
    const std::int64_t height = header.height;
    const std::uint64_t rows = static_cast<std::uint64_t>(height < 0 ? -height : height);
    if (rows > left / stride) return std::nullopt;
    return offset;
}

}  // namespace orvan::ui
