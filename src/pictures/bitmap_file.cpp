#include "pictures/bitmap_file.h"

#include <algorithm>
#include <cstddef>
#include <utility>

namespace orvan::pictures {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::uint32_t kPixelsPerMetre = 2835;  // 72 dots per inch
constexpr std::int64_t kMaxSide = 16384;         // refuse absurd sizes in damaged files

std::size_t Size(int v) { return static_cast<std::size_t>(v); }

// Bytes in one row of a bitmap, padded to a whole number of 32-bit words.
std::size_t RowBytes(int width, int bits) { return (Size(width) * Size(bits) + 31) / 32 * 4; }

class Writer {
public:
    void U8(std::uint32_t v) { out_.push_back(static_cast<char>(v & 0xFFu)); }
    void U16(std::uint32_t v) {
        U8(v);
        U8(v >> 8);
    }
    void U32(std::uint32_t v) {
        U16(v & 0xFFFFu);
        U16(v >> 16);
    }
    void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
    void Zeros(std::size_t n) { out_.append(n, '\0'); }
    std::string Take() { return std::move(out_); }

private:
    std::string out_;
};

void WriteInfoHeader(Writer& w, int width, int height, int bits, std::size_t imageBytes, std::uint32_t coloursUsed) {
    w.U32(kInfoHeaderSize);
    w.I32(width);
    w.I32(height);
    w.U16(1);  // planes
    w.U16(static_cast<std::uint32_t>(bits));
    w.U32(0);  // BI_RGB
    w.U32(static_cast<std::uint32_t>(imageBytes));
    w.U32(kPixelsPerMetre);
    w.U32(kPixelsPerMetre);
    w.U32(coloursUsed);
    w.U32(0);  // all colours important
}

void WritePalette(Writer& w, const std::vector<std::uint32_t>& palette, std::size_t entries) {
    for (std::size_t i = 0; i < entries; ++i) {
        const std::uint32_t c = i < palette.size() ? palette[i] : 0;
        w.U8(c);        // blue
        w.U8(c >> 8);   // green
        w.U8(c >> 16);  // red
        w.U8(0);
    }
}

// The pixel rows bottom-up, each padded to four bytes.
void WriteRows(Writer& w, const Picture& p, const std::vector<std::uint8_t>* transparent) {
    const std::size_t bytesPerPixel = p.bitsPerPixel == 8 ? 1 : 3;
    const std::size_t used = Size(p.width) * bytesPerPixel;
    const std::size_t padding = RowBytes(p.width, p.bitsPerPixel) - used;
    for (int y = p.height - 1; y >= 0; --y) {
        const std::size_t row = Size(y) * used;
        for (std::size_t i = 0; i < used; ++i) {
            const bool clear = transparent != nullptr && (*transparent)[Size(y) * Size(p.width) + i] != 0;
            w.U8(clear ? 0u : p.pixels[row + i]);
        }
        w.Zeros(padding);
    }
}

bool Consistent(const Picture& p) {
    if (p.width <= 0 || p.height <= 0 || p.width > kMaxSide || p.height > kMaxSide) {
        return false;
    }
    const std::size_t count = Size(p.width) * Size(p.height);
    if (p.bitsPerPixel == 8) {
        return p.pixels.size() == count && !p.palette.empty() && p.palette.size() <= 256;
    }
    return p.bitsPerPixel == 24 && p.pixels.size() == count * 3;
}

// Little-endian reads that mark the reader failed instead of running past
// the end.
class Reader {
public:
    explicit Reader(std::string_view data) : data_(data) {}
    bool Has(std::size_t offset, std::size_t length) const {
        return offset <= data_.size() && length <= data_.size() - offset;
    }
    std::uint32_t U8(std::size_t at) {
        if (!Has(at, 1)) {
            ok_ = false;
            return 0;
        }
        return static_cast<unsigned char>(data_[at]);
    }
    std::uint32_t U16(std::size_t at) { return U8(at) | (U8(at + 1) << 8); }
    std::uint32_t U32(std::size_t at) { return U16(at) | (U16(at + 2) << 16); }
    std::int64_t I32(std::size_t at) { return static_cast<std::int32_t>(U32(at)); }
    bool Ok() const { return ok_; }
    std::string_view Data() const { return data_; }

private:
    std::string_view data_;
    bool ok_ = true;
};

struct DibHeader {
    int width = 0;
    int height = 0;  // the colour bitmap's own height
    bool bottomUp = true;
    int bits = 0;
    std::size_t paletteAt = 0;
    std::size_t paletteEntries = 0;
};

// Reads a BITMAPINFOHEADER (or a later, longer version) at the given offset.
// Icons store twice the height: the colour bitmap and the mask.
std::optional<DibHeader> ReadDibHeader(Reader& r, std::size_t at, bool icon) {
    const std::uint32_t headerSize = r.U32(at);
    const std::int64_t width = r.I32(at + 4);
    std::int64_t height = r.I32(at + 8);
    const std::uint32_t planes = r.U16(at + 12);
    const std::uint32_t bits = r.U16(at + 14);
    const std::uint32_t compression = r.U32(at + 16);
    const std::uint32_t coloursUsed = r.U32(at + 32);
    if (!r.Ok() || headerSize < kInfoHeaderSize || planes != 1 || compression != 0 || (bits != 8 && bits != 24)) {
        return std::nullopt;
    }
    DibHeader h;
    h.bottomUp = height > 0;
    height = height < 0 ? -height : height;
    if (icon) {
        if (!h.bottomUp || height % 2 != 0) {
            return std::nullopt;
        }
        height /= 2;
    }
    if (width <= 0 || width > kMaxSide || height <= 0 || height > kMaxSide) {
        return std::nullopt;
    }
    h.width = static_cast<int>(width);
    h.height = static_cast<int>(height);
    h.bits = static_cast<int>(bits);
    h.paletteAt = at + headerSize;
    h.paletteEntries = bits == 8 ? (coloursUsed == 0 ? 256 : coloursUsed) : 0;
    if (h.paletteEntries > 256 || !r.Has(h.paletteAt, h.paletteEntries * 4)) {
        return std::nullopt;
    }
    return h;
}

std::optional<Picture> ReadPixels(Reader& r, const DibHeader& h, std::size_t pixelsAt) {
    const std::size_t rowBytes = RowBytes(h.width, h.bits);
    if (!r.Has(pixelsAt, rowBytes * Size(h.height))) {
        return std::nullopt;
    }
    Picture p;
    p.width = h.width;
    p.height = h.height;
    p.bitsPerPixel = h.bits;
    for (std::size_t i = 0; i < h.paletteEntries; ++i) {
        const std::size_t at = h.paletteAt + 4 * i;
        p.palette.push_back(r.U8(at) | (r.U8(at + 1) << 8) | (r.U8(at + 2) << 16));
    }
    const std::size_t used = Size(h.width) * (h.bits == 8 ? 1 : 3);
    p.pixels.resize(used * Size(h.height));
    const std::string_view d = r.Data();
    for (int y = 0; y < h.height; ++y) {
        const int fileRow = h.bottomUp ? h.height - 1 - y : y;
        const std::size_t from = pixelsAt + Size(fileRow) * rowBytes;
        std::transform(d.begin() + static_cast<std::ptrdiff_t>(from),
                       d.begin() + static_cast<std::ptrdiff_t>(from + used),
                       p.pixels.begin() + static_cast<std::ptrdiff_t>(Size(y) * used),
                       [](char c) { return static_cast<std::uint8_t>(c); });
    }
    return p;
}

// The icon's AND mask: 1-bit rows, bottom-up, padded to four bytes.
bool ReadMask(Reader& r, Picture& p, std::size_t maskAt) {
    const std::size_t rowBytes = RowBytes(p.width, 1);
    if (!r.Has(maskAt, rowBytes * Size(p.height))) {
        return false;
    }
    p.mask.assign(Size(p.width) * Size(p.height), 0);
    for (int y = 0; y < p.height; ++y) {
        const std::size_t row = maskAt + Size(p.height - 1 - y) * rowBytes;
        for (int x = 0; x < p.width; ++x) {
            const std::uint32_t byte = r.U8(row + Size(x) / 8);
            p.mask[Size(y) * Size(p.width) + Size(x)] =
                static_cast<std::uint8_t>((byte >> (7 - static_cast<unsigned>(x) % 8)) & 1u);
        }
    }
    return true;
}

}  // namespace

std::string EncodeBmp(const Picture& picture) {
    if (!Consistent(picture)) {
        return {};
    }
    const std::size_t paletteEntries = picture.bitsPerPixel == 8 ? picture.palette.size() : 0;
    const std::size_t pixelsAt = kFileHeaderSize + kInfoHeaderSize + 4 * paletteEntries;
    const std::size_t imageBytes = RowBytes(picture.width, picture.bitsPerPixel) * Size(picture.height);
    Writer w;
    w.U8('B');
    w.U8('M');
    w.U32(static_cast<std::uint32_t>(pixelsAt + imageBytes));
    w.U32(0);  // reserved
    w.U32(static_cast<std::uint32_t>(pixelsAt));
    WriteInfoHeader(w, picture.width, picture.height, picture.bitsPerPixel, imageBytes,
                    static_cast<std::uint32_t>(paletteEntries));
    WritePalette(w, picture.palette, paletteEntries);
    WriteRows(w, picture, nullptr);
    return w.Take();
}

std::string EncodeIco(const Picture& icon, const std::vector<std::uint8_t>& mask) {
    Picture image = icon;
    image.mask = mask;
    return EncodeIco(std::vector<Picture>{image});
}

std::string EncodeIco(const std::vector<Picture>& images) {
    if (images.empty() || images.size() > 0xFFFF) return {};
    std::vector<std::size_t> imageBytes;
    for (const Picture& icon : images) {
        const std::size_t count = Size(icon.width) * Size(icon.height);
        if (!Consistent(icon) || icon.bitsPerPixel != 8 || icon.width > 256 || icon.height > 256 ||
            (!icon.mask.empty() && icon.mask.size() != count)) {
            return {};
        }
        imageBytes.push_back(RowBytes(icon.width, 8) * Size(icon.height) + RowBytes(icon.width, 1) * Size(icon.height));
    }
    Writer w;
    // ICONDIR and an entry for each image, then the images in turn.
    w.U16(0);
    w.U16(1);  // an icon, not a cursor
    w.U16(static_cast<std::uint32_t>(images.size()));
    std::size_t at = 6 + 16 * images.size();
    for (std::size_t i = 0; i < images.size(); ++i) {
        const std::size_t resourceBytes = kInfoHeaderSize + 256 * 4 + imageBytes[i];
        w.U8(static_cast<std::uint32_t>(images[i].width) & 0xFFu);  // 256 is written as 0
        w.U8(static_cast<std::uint32_t>(images[i].height) & 0xFFu);
        w.U8(0);  // 256 colours
        w.U8(0);
        w.U16(1);
        w.U16(8);
        w.U32(static_cast<std::uint32_t>(resourceBytes));
        w.U32(static_cast<std::uint32_t>(at));
        at += resourceBytes;
    }
    for (std::size_t i = 0; i < images.size(); ++i) {
        const Picture& icon = images[i];
        const std::vector<std::uint8_t>& mask = icon.mask;
        const std::size_t maskRow = RowBytes(icon.width, 1);
        // The image: header with the doubled height, full palette, colours, mask.
        WriteInfoHeader(w, icon.width, icon.height * 2, 8, imageBytes[i], 0);
        WritePalette(w, icon.palette, 256);
        WriteRows(w, icon, mask.empty() ? nullptr : &mask);
        for (int y = icon.height - 1; y >= 0; --y) {
            std::vector<std::uint8_t> row(maskRow, 0);
            for (int x = 0; x < icon.width && !mask.empty(); ++x) {
                if (mask[Size(y) * Size(icon.width) + Size(x)] != 0) {
                    row[Size(x) / 8] =
                        static_cast<std::uint8_t>(row[Size(x) / 8] | (0x80u >> (static_cast<unsigned>(x) % 8)));
                }
            }
            for (const std::uint8_t b : row) {
                w.U8(b);
            }
        }
    }
    return w.Take();
}

std::optional<Picture> DecodeBmp(std::string_view file) {
    Reader r(file);
    if (file.size() < kFileHeaderSize + kInfoHeaderSize || file[0] != 'B' || file[1] != 'M') {
        return std::nullopt;
    }
    const std::size_t pixelsAt = r.U32(10);
    const std::optional<DibHeader> h = ReadDibHeader(r, kFileHeaderSize, false);
    if (!h) {
        return std::nullopt;
    }
    return ReadPixels(r, *h, pixelsAt);
}

std::optional<Picture> DecodeIco(std::string_view file, std::size_t index) {
    Reader r(file);
    if (r.U16(0) != 0 || r.U16(2) != 1 || r.U16(4) <= index || !r.Ok()) {
        return std::nullopt;
    }
    const std::size_t entry = 6 + 16 * index;
    const std::size_t bytes = r.U32(entry + 8);
    const std::size_t at = r.U32(entry + 12);
    if (!r.Ok() || !r.Has(at, bytes)) {
        return std::nullopt;
    }
    Reader image(file.substr(at, bytes));
    const std::optional<DibHeader> h = ReadDibHeader(image, 0, true);
    if (!h || h->bits != 8) {
        return std::nullopt;
    }
    const std::size_t pixelsAt = h->paletteAt + h->paletteEntries * 4;
    std::optional<Picture> p = ReadPixels(image, *h, pixelsAt);
    if (!p || !ReadMask(image, *p, pixelsAt + RowBytes(h->width, 8) * Size(h->height))) {
        return std::nullopt;
    }
    return p;
}

}  // namespace orvan::pictures
