// The bounds check the painter makes before drawing a picture straight from
// the program's resources.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "pictures/bitmap_file.h"
#include "pictures/pictures.h"
#include "ui/packed_bitmap.h"

namespace orvan::ui {
namespace {

std::uint32_t U32(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    std::memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

std::uint16_t U16(const std::string& bytes, std::size_t at) {
    std::uint16_t value = 0;
    std::memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

// The header of a picture as the resource compiler embeds it: the .bmp file
// without its 14-byte file header.
PackedBitmapHeader HeaderOf(const std::string& bmp) {
    const std::size_t h = 14;
    return {U32(bmp, h),
            static_cast<std::int32_t>(U32(bmp, h + 4)),
            static_cast<std::int32_t>(U32(bmp, h + 8)),
            U16(bmp, h + 12),
            U16(bmp, h + 14),
            U32(bmp, h + 16),
            U32(bmp, h + 32)};
}

TEST(PackedBitmap, ThePicturesTheProgramEmbedsAreDrawnFromWhereTheirRowsBegin) {
    for (const pictures::Picture& picture : {pictures::MakeBackground(), pictures::MakeTitle(),
                                             pictures::MakeShownLogo(), pictures::MakeOptionsHeader()}) {
        const std::string bmp = pictures::EncodeBmp(picture);
        ASSERT_FALSE(bmp.empty());
        const std::uint64_t length = bmp.size() - 14;
        const std::uint64_t rows = U32(bmp, 10) - 14;  // bfOffBits, from the header's start
        EXPECT_EQ(PackedBitsOffset(HeaderOf(bmp), length), rows);
        EXPECT_FALSE(PackedBitsOffset(HeaderOf(bmp), length - 1)) << "one byte short of the last row";
    }
}

TEST(PackedBitmap, EveryStepOfTheSizeIsChecked) {
    // 3 x 2 pixels at 8 bits: rows of 4 bytes, a table of 256 colours.
    const PackedBitmapHeader eight{40, 3, 2, 1, 8, 0, 0};
    EXPECT_EQ(PackedBitsOffset(eight, 40 + 1024 + 8), 40u + 1024u);
    EXPECT_FALSE(PackedBitsOffset(eight, 40 + 1024 + 7));
    PackedBitmapHeader fewColours = eight;
    fewColours.coloursUsed = 2;
    EXPECT_EQ(PackedBitsOffset(fewColours, 40 + 8 + 8), 48u);
    PackedBitmapHeader topDown = eight;
    topDown.height = -2;
    EXPECT_EQ(PackedBitsOffset(topDown, 40 + 1024 + 8), 40u + 1024u);
    // A header that claims more than the block holds.
    PackedBitmapHeader longHeader = eight;
    longHeader.headerSize = 2000;
    EXPECT_FALSE(PackedBitsOffset(longHeader, 1500));

    for (PackedBitmapHeader bad : {PackedBitmapHeader{39, 3, 2, 1, 8, 0, 0}, PackedBitmapHeader{40, 0, 2, 1, 8, 0, 0},
                                   PackedBitmapHeader{40, -3, 2, 1, 8, 0, 0}, PackedBitmapHeader{40, 3, 0, 1, 8, 0, 0},
                                   PackedBitmapHeader{40, 3, 2, 2, 8, 0, 0}, PackedBitmapHeader{40, 3, 2, 1, 16, 0, 0},
                                   PackedBitmapHeader{40, 3, 2, 1, 8, 1, 0}})
        EXPECT_FALSE(PackedBitsOffset(bad, 1 << 20));
}

// The widest rows and the most of them, with a colour table just large
// enough that header, table and rows add up to 2^64 + 40: a 64-bit sum wraps
// to 40 and would pass a check of the total against a 100-byte block.
TEST(PackedBitmap, SizesWhoseSumWouldWrapAreRefused) {
    const PackedBitmapHeader huge{
        40, std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::int32_t>::min(), 1, 32, 0, 0x80000000u};
    const std::uint64_t stride = (std::uint64_t{0x7FFFFFFF} * 32 + 31) / 32 * 4;
    const std::uint64_t wrapped = 40 + std::uint64_t{0x80000000u} * 4 + stride * (std::uint64_t{1} << 31);
    ASSERT_EQ(wrapped, 40u) << "the case must wrap to be the case";
    EXPECT_FALSE(PackedBitsOffset(huge, 100));
    EXPECT_FALSE(PackedBitsOffset(huge, std::numeric_limits<std::uint32_t>::max()));
    EXPECT_FALSE(PackedBitsOffset({40, std::numeric_limits<std::int32_t>::max(), 1, 1, 32, 0, 0xFFFFFFFFu}, 100));
}

}  // namespace
}  // namespace orvan::ui
