// Stretching a picture to the size it is shown at, by area averaging: every
// target pixel is the mean of the source area it covers, as a halftone
// stretch gives. The picture generator makes the logo at its shown size with
// it, so the program scales nothing.
#pragma once

#include "pictures/picture.h"

namespace orvan::pictures {

// A 24-bit picture scaled to width x height. Anything else (an 8-bit
// picture, an empty size) comes back as an empty picture.
Picture Stretch(const Picture& source, int width, int height);

}  // namespace orvan::pictures
