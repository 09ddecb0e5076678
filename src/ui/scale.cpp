#include "ui/scale.h"

#include <algorithm>
#include <cmath>

namespace orvan::ui {

int Scale::Pixels(double twips) const { return static_cast<int>(std::floor(twips * dpi_ / kTwipsPerInch + 0.5)); }

int Scale::Repeating(double twips) const { return static_cast<int>(std::floor(twips * dpi_ / kTwipsPerInch)); }

int Scale::FontPixels(double points) const { return static_cast<int>(std::lround(points * dpi_ / 72.0)); }

Size PictureTwips(PictureId picture) {
    constexpr int k = kTwipsPerInch / kBaseDpi;
    switch (picture) {
    case PictureId::Background:
        return {800 * k, 600 * k};
    case PictureId::OptionsHeader:
        return {369 * k, 145 * k};
    default:
        break;
    }
    return {};
}

int PictureDpi(int dpi) {
    for (int made : kPictureDpis)
        if (made >= dpi) return made;
    return kPictureDpis.back();
}

Scale FitScale(int systemDpi, Size twips, Size screen) {
    const auto fits = [&](int dpi) {
        const Size pixels = Scale(dpi).Pixels(twips);
        return pixels.width <= screen.width && pixels.height <= screen.height;
    };
    if (fits(systemDpi)) return Scale(systemDpi);
    for (auto it = kPictureDpis.rbegin(); it != kPictureDpis.rend(); ++it)
        if (*it < systemDpi && fits(*it)) return Scale(*it);
    return Scale(std::min(systemDpi, kPictureDpis.front()));
}

}  // namespace orvan::ui
