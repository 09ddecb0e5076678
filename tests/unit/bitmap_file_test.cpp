// The .bmp and .ico encoders and readers: layout of the bytes, row padding,
// and damaged input refused without a crash.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pictures/bitmap_file.h"
#include "pictures/pictures.h"

namespace {

using orvan::pictures::DecodeBmp;
using orvan::pictures::DecodeIco;
using orvan::pictures::EncodeBmp;
using orvan::pictures::EncodeIco;
using orvan::pictures::Picture;

unsigned Byte(const std::string& f, std::size_t at) { return static_cast<unsigned char>(f[at]); }

std::uint32_t U32(const std::string& f, std::size_t at) {
    return Byte(f, at) | Byte(f, at + 1) << 8 | Byte(f, at + 2) << 16 |
           static_cast<std::uint32_t>(Byte(f, at + 3)) << 24;
}

void PutU32(std::string& f, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        f[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
    }
}

// 3 x 2, 24-bit: each row of 9 bytes is padded to 12 in the file.
Picture Small24() {
    Picture p;
    p.width = 3;
    p.height = 2;
    p.bitsPerPixel = 24;
    // Top row: red, green, blue; bottom row: white, black, grey (B, G, R order).
    p.pixels = {0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 0, 0, 0, 128, 128, 128};
    return p;
}

// 5 x 3, 8-bit with a four-colour palette: rows of 5 padded to 8.
Picture Small8() {
    Picture p;
    p.width = 5;
    p.height = 3;
    p.bitsPerPixel = 8;
    p.palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    p.pixels = {0, 1, 2, 3, 0, 1, 1, 1, 1, 1, 3, 2, 1, 0, 3};
    return p;
}

TEST(BmpFile, WritesBottomUpRowsPaddedToFourBytes) {
    const std::string f = EncodeBmp(Small24());
    ASSERT_EQ(f.size(), 54u + 2u * 12u);
    EXPECT_EQ(U32(f, 10), 54u);
    EXPECT_EQ(U32(f, 34), 24u);  // image size
    // First row in the file is the bottom one: white, black, grey, padding.
    EXPECT_EQ(f.substr(54, 12), std::string("\xFF\xFF\xFF\x00\x00\x00\x80\x80\x80\x00\x00\x00", 12));
    EXPECT_EQ(f.substr(66, 12), std::string("\x00\x00\xFF\x00\xFF\x00\xFF\x00\x00\x00\x00\x00", 12));
}

TEST(BmpFile, WritesThePaletteBeforeThePixels) {
    const std::string f = EncodeBmp(Small8());
    ASSERT_EQ(f.size(), 54u + 4u * 4u + 3u * 8u);
    EXPECT_EQ(U32(f, 10), 54u + 16u);
    EXPECT_EQ(U32(f, 46), 4u);  // colours used
    // Palette entries are blue, green, red, 0.
    EXPECT_EQ(f.substr(54 + 4, 4), std::string("\x00\x00\xFF\x00", 4));
    EXPECT_EQ(f.substr(54 + 12, 4), std::string("\xFF\x00\x00\x00", 4));
    EXPECT_EQ(f.substr(70, 8), std::string("\x03\x02\x01\x00\x03\x00\x00\x00", 8));
}

TEST(BmpFile, ReadsBackWhatItWrites) {
    for (const Picture& p : {Small24(), Small8()}) {
        const std::optional<Picture> d = DecodeBmp(EncodeBmp(p));
        ASSERT_TRUE(d.has_value());
        EXPECT_EQ(d->width, p.width);
        EXPECT_EQ(d->height, p.height);
        EXPECT_EQ(d->bitsPerPixel, p.bitsPerPixel);
        EXPECT_EQ(d->palette, p.palette);
        EXPECT_EQ(d->pixels, p.pixels);
    }
    const Picture p = Small24();
    EXPECT_EQ(p.At(0, 0), 0xFF0000u);
    EXPECT_EQ(p.At(2, 0), 0x0000FFu);
    EXPECT_EQ(p.At(2, 1), 0x808080u);
    EXPECT_EQ(p.At(3, 0), 0u) << "outside the picture";
}

TEST(BmpFile, ReadsTopDownFiles) {
    // Negative height: the rows are stored top row first.
    std::string f = EncodeBmp(Small24());
    PutU32(f, 22, static_cast<std::uint32_t>(-2));
    const std::optional<Picture> d = DecodeBmp(f);
    ASSERT_TRUE(d.has_value());
    EXPECT_EQ(d->At(0, 0), 0xFFFFFFu);
    EXPECT_EQ(d->At(0, 1), 0xFF0000u);
}

TEST(BmpFile, RefusesDamagedOrUnsupportedFiles) {
    const std::string good = EncodeBmp(Small8());
    EXPECT_FALSE(DecodeBmp("").has_value());
    EXPECT_FALSE(DecodeBmp("BM").has_value());
    for (std::size_t n = 0; n < good.size(); ++n) {
        EXPECT_FALSE(DecodeBmp(good.substr(0, n)).has_value()) << "cut to " << n << " bytes";
    }
    std::string notBmp = good;
    notBmp[0] = 'X';
    EXPECT_FALSE(DecodeBmp(notBmp).has_value());
    std::string rle = good;
    PutU32(rle, 30, 1);  // BI_RLE8
    EXPECT_FALSE(DecodeBmp(rle).has_value());
    std::string huge = good;
    PutU32(huge, 18, 0x7FFFFFFF);
    EXPECT_FALSE(DecodeBmp(huge).has_value());
    std::string zeroWide = good;
    PutU32(zeroWide, 18, 0);
    EXPECT_FALSE(DecodeBmp(zeroWide).has_value());
    std::string manyColours = good;
    PutU32(manyColours, 46, 100000);
    EXPECT_FALSE(DecodeBmp(manyColours).has_value());
    std::string pixelsBeyondEnd = good;
    PutU32(pixelsBeyondEnd, 10, 0xFFFFFFF0u);
    EXPECT_FALSE(DecodeBmp(pixelsBeyondEnd).has_value());
    std::string fourBit = good;
    fourBit[28] = 4;
    EXPECT_FALSE(DecodeBmp(fourBit).has_value());
}

TEST(BmpFile, RefusesToEncodeInconsistentPictures) {
    Picture shortPixels = Small24();
    shortPixels.pixels.pop_back();
    EXPECT_EQ(EncodeBmp(shortPixels), "");
    Picture noPalette = Small8();
    noPalette.palette.clear();
    EXPECT_EQ(EncodeBmp(noPalette), "");
    Picture sixteenBit = Small24();
    sixteenBit.bitsPerPixel = 16;
    EXPECT_EQ(EncodeBmp(sixteenBit), "");
    EXPECT_EQ(EncodeBmp(Picture{}), "");
}

TEST(IcoFile, StoresTheMaskAsOneBitRowsBottomUp) {
    Picture icon = Small8();
    std::vector<std::uint8_t> mask(15, 0);
    mask[0] = 1;   // top-left
    mask[14] = 1;  // bottom-right
    const std::string f = EncodeIco(icon, mask);
    // Directory 22, header 40, palette 1024, 3 rows of 8, 3 mask rows of 4.
    ASSERT_EQ(f.size(), 22u + 40u + 1024u + 24u + 12u);
    const std::size_t maskAt = f.size() - 12;
    EXPECT_EQ(Byte(f, maskAt), 0x08u) << "bottom row: x 4 transparent";
    EXPECT_EQ(Byte(f, maskAt + 4), 0x00u);
    EXPECT_EQ(Byte(f, maskAt + 8), 0x80u) << "top row: x 0 transparent";
    // Transparent pixels are written black: the bottom row's x 4 (index 3) is 0.
    EXPECT_EQ(Byte(f, 22 + 40 + 1024 + 4), 0u);
    const std::optional<Picture> d = DecodeIco(f);
    ASSERT_TRUE(d.has_value());
    EXPECT_EQ(d->mask, mask);
    EXPECT_EQ(d->palette.size(), 256u);
    EXPECT_EQ(d->At(1, 0), 0xFF0000u);
    EXPECT_TRUE(d->IsTransparent(0, 0));
    EXPECT_FALSE(d->IsTransparent(1, 0));
}

TEST(IcoFile, RefusesBadIconsAndDamagedFiles) {
    EXPECT_EQ(EncodeIco(Small24(), {}), "") << "icons here are 8-bit";
    EXPECT_EQ(EncodeIco(Small8(), std::vector<std::uint8_t>(3, 0)), "") << "mask of the wrong size";
    const std::string good = EncodeIco(Small8(), {});
    ASSERT_FALSE(good.empty());
    EXPECT_TRUE(DecodeIco(good).has_value());
    for (std::size_t n = 0; n < good.size(); n += 7) {
        EXPECT_FALSE(DecodeIco(good.substr(0, n)).has_value()) << "cut to " << n << " bytes";
    }
    std::string cursor = good;
    cursor[2] = 2;
    EXPECT_FALSE(DecodeIco(cursor).has_value());
    std::string farOffset = good;
    PutU32(farOffset, 18, 0xFFFFFF00u);
    EXPECT_FALSE(DecodeIco(farOffset).has_value());
    EXPECT_FALSE(DecodeIco(EncodeBmp(Small8())).has_value());
}

}  // namespace
