// The resampler's row kernels, for Resampler.cpp and the kernel files the build picks.
#pragma once

#include "photo/BgrImage.h"
#include "photo/Resampler.h"

#include <vector>

namespace lumo::photo::detail {

inline constexpr int kWeightOne = 2048;
inline constexpr int kWeightShift = 22; // divides by 2048 x 2048; every sum is non-negative

void resampleRowsScalar(const BgrImage &source, BgrImage &target,
                        const std::vector<ResampleTap> &columns,
                        const std::vector<ResampleTap> &rows);

// Called only when cpuHasAvx2() and the source is at least 2 pixels wide.
void resampleRowsAvx2(const BgrImage &source, BgrImage &target,
                      const std::vector<ResampleTap> &columns,
                      const std::vector<ResampleTap> &rows);

} // namespace lumo::photo::detail
