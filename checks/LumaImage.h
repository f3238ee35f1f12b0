// The brightness of a photo, one byte a pixel (ITU-R BT.601 weights, as JPEG's Y), which every
// check and the face detector work on.
#pragma once

#include "photo/BgrImage.h"

#include <cstdint>
#include <vector>

namespace lumo::checks {

struct LumaImage
{
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels; // rows top first, width bytes each

    bool isEmpty() const { return pixels.empty(); }
    const std::uint8_t *row(int y) const { return pixels.data() + std::size_t(y) * width; }
};

// The photo's brightness, scaled down by area averaging when it is taller than maxHeight
// (0: never).
LumaImage lumaOf(const photo::BgrImage &photo, int maxHeight = 0);

} // namespace lumo::checks
