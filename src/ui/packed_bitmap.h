// A packed bitmap, as a program's resources hold a picture: the header, its
// colour table, then the rows, in one block of bytes. The painter draws the
// pictures straight from that block, so the block must hold all of it.
#pragma once

#include <cstdint>
#include <optional>

namespace orvan::ui {

// The header's fields (those of a BITMAPINFOHEADER) that say how large the
// bitmap is.
struct PackedBitmapHeader {
    std::uint32_t headerSize = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;  // negative: the rows run top-down
    std::uint16_t planes = 0;
    std::uint16_t bitsPerPixel = 0;
    std::uint32_t compression = 0;  // 0: uncompressed
    std::uint32_t coloursUsed = 0;  // 0: the whole table its depth has
};

// Where the rows begin, counted from the header's first byte, when the
// header describes an uncompressed bitmap of 1, 4, 8, 24 or 32 bits whose
// header, colour table and rows all lie within `length` bytes; nothing
// otherwise. The check holds whatever the fields say: no sum or product in
// it can wrap.
std::optional<std::uint64_t> PackedBitsOffset(const PackedBitmapHeader& header, std::uint64_t length);

}  // namespace orvan::ui
