// A squared block font drawn by code, for the lettering in the pictures.
//
// Each letter is built from bars and slanted strokes laid out in a box of the
// requested size, so the same font serves the 20-pixel title and the
// 100-pixel logo. Only the capitals the pictures use are defined (A E I K N O
// P R S T V, the digits 7 and 9 and the space); any other character is blank.
#pragma once

#include <string_view>
#include <vector>

#include "pictures/picture_raster.h"

namespace orvan::pictures {

// Letter metrics, in pixels.
struct LetterStyle {
    double width = 7;    // an ordinary letter, without the gap
    double height = 10;  // cap height
    double stem = 2;     // vertical strokes
    double bar = 2;      // horizontal strokes
    double gap = 1;      // between letters
    double chamfer = 0;  // the cut corners of the round letters; 0 for square ones

    // The same letters `k` times as large.
    LetterStyle Times(double k) const { return {width * k, height * k, stem * k, bar * k, gap * k, chamfer * k}; }
};

// Width from the first letter's left edge to the last one's right edge.
double TextWidth(std::string_view text, const LetterStyle& style);

// One shape per letter, the first letter's box at (left, top).
std::vector<raster::Shape> LayOutText(std::string_view text, double left, double top, const LetterStyle& style);

}  // namespace orvan::pictures
