// The bilinear resampler of the DPI step, in 11-bit fixed point. Every kernel here gives the
// same bytes: they differ only in speed.
#pragma once

#include "photo/BgrImage.h"

#include <vector>

namespace lumo::photo {

// Where one target column (or row) takes its two source pixels from, and the weight of the
// second one, 0 to 2048.
struct ResampleTap
{
    int first;  // source index of the left (upper) pixel
    int second; // source index of the right (lower) pixel: first + 1, or first for a 1-pixel side
    int weight; // weight of the second pixel in 2048ths
};

// Target position i maps to source position i x (sourceLength - 1) / targetLength; the weight is
// the fraction times 2048, rounded to the nearest integer with ties to even.
std::vector<ResampleTap> resampleTaps(int sourceLength, int targetLength);

enum class ResampleKernel {
    Best,      // the fastest this CPU runs
    Reference, // every pixel computed straight from the rule, for tests and comparison
    Scalar,    // precomputed taps, integer inner loop
    Avx2,      // precomputed taps, 256-bit vector inner loop (Scalar where the CPU lacks AVX2)
};

// True when this CPU runs the AVX2 kernel.
bool cpuHasAvx2();

// The resampler takes pictures up to this width and height; a wider capture cannot go through
// the DPI step.
inline constexpr int kMaxResampleSide = 32767;
bool canResample(const BgrImage &source);

// A new image of the target size holding the source resampled bilinearly, without a resolution.
// Empty when the source cannot be resampled or the target cannot be made.
BgrImage resample(const BgrImage &source, int width, int height,
                  ResampleKernel kernel = ResampleKernel::Best);

} // namespace lumo::photo
