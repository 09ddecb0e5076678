#include "pictures/stretch.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace orvan::pictures {

namespace {

// Weights are fixed point, 14 bits: each target's weights sum to 1 << 14.
constexpr int kWeightBits = 14;

struct Taps {
    std::vector<int> first;    // the first source position of each target
    std::vector<int> count;    // how many source positions it covers
    std::vector<int> weights;  // `count` weights per target, one after another
};

// For each target position, the source positions it covers and how much of each.
Taps TapsFor(int from, int to) {
    Taps taps;
    const double scale = static_cast<double>(from) / to;
    for (int i = 0; i < to; ++i) {
        const double lo = i * scale;
        const double hi = (i + 1) * scale;
        const int first = static_cast<int>(std::floor(lo));
        const int last = std::min(from, static_cast<int>(std::ceil(hi)));
        int total = 0;
        const std::size_t start = taps.weights.size();
        for (int s = first; s < last; ++s) {
            const double covered = std::min(hi, s + 1.0) - std::max(lo, static_cast<double>(s));
            const int weight = static_cast<int>(std::lround(covered / scale * (1 << kWeightBits)));
            taps.weights.push_back(weight);
            total += weight;
        }
        // Rounding must not lighten or darken a uniform area.
        taps.weights[start] += (1 << kWeightBits) - total;
        taps.first.push_back(first);
        taps.count.push_back(last - first);
    }
    return taps;
}

}  // namespace

Picture Stretch(const Picture& source, int width, int height) {
    Picture out;
    const auto srcW = static_cast<std::size_t>(source.width);
    if (source.bitsPerPixel != 24 || width <= 0 || height <= 0 || source.width <= 0 || source.height <= 0 ||
        source.pixels.size() != srcW * static_cast<std::size_t>(source.height) * 3)
        return out;
    const auto w = static_cast<std::size_t>(width);
    const auto h = static_cast<std::size_t>(height);
    const Taps across = TapsFor(source.width, width);
    const Taps down = TapsFor(source.height, height);

    // Across first, keeping 8 bits of fraction, then down.
    std::vector<std::uint32_t> rows(static_cast<std::size_t>(source.height) * w * 3);
    for (std::size_t y = 0; y < static_cast<std::size_t>(source.height); ++y) {
        const std::uint8_t* in = source.pixels.data() + y * srcW * 3;
        std::uint32_t* row = rows.data() + y * w * 3;
        const int* weight = across.weights.data();
        for (std::size_t x = 0; x < w; ++x) {
            std::uint32_t b = 0, g = 0, r = 0;
            const std::uint8_t* px = in + static_cast<std::size_t>(across.first[x]) * 3;
            for (int k = 0; k < across.count[x]; ++k, px += 3) {
                const auto wt = static_cast<std::uint32_t>(*weight++);
                b += wt * px[0];
                g += wt * px[1];
                r += wt * px[2];
            }
            row[x * 3] = b >> (kWeightBits - 8);
            row[x * 3 + 1] = g >> (kWeightBits - 8);
            row[x * 3 + 2] = r >> (kWeightBits - 8);
        }
    }
    out.width = width;
    out.height = height;
    out.bitsPerPixel = 24;
    out.pixels.resize(w * h * 3);
    const int* weight = down.weights.data();
    std::vector<std::uint32_t> sum(w * 3);
    for (std::size_t y = 0; y < h; ++y) {
        std::fill(sum.begin(), sum.end(), 0u);
        for (int k = 0; k < down.count[y]; ++k) {
            const auto wt = static_cast<std::uint32_t>(*weight++);
            const std::uint32_t* row = rows.data() + static_cast<std::size_t>(down.first[y] + k) * w * 3;
            for (std::size_t i = 0; i < w * 3; ++i) sum[i] += wt * row[i];
        }
        std::uint8_t* line = out.pixels.data() + y * w * 3;
        constexpr int shift = kWeightBits + 8;
        for (std::size_t i = 0; i < w * 3; ++i)
            line[i] = static_cast<std::uint8_t>(std::min<std::uint32_t>(255, (sum[i] + (1u << (shift - 1))) >> shift));
    }
    return out;
}

}  // namespace orvan::pictures
