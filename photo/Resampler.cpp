#include "photo/Resampler.h"

#include "photo/ResampleKernels.h"

#include <cmath>
#include <cstdint>

namespace lumo::photo {

using detail::kWeightOne;
using detail::kWeightShift;

namespace {

// Straight from the rule: positions, weights and the four products for every byte.
void resampleReference(const BgrImage &source, BgrImage &target)
{
    const int sw = source.width();
    const int sh = source.height();
    const int dw = target.width();
    const int dh = target.height();
    for (int j = 0; j < dh; ++j) {
        const double fy = double(std::int64_t(j) * (sh - 1)) / dh;
        const int wy = int(std::nearbyint((fy - std::floor(fy)) * kWeightOne));
        const int upperRow = int(std::floor(fy));
        const int lowerRow = upperRow + 1 < sh ? upperRow + 1 : sh - 1;
        for (int i = 0; i < dw; ++i) {
            const double fx = double(std::int64_t(i) * (sw - 1)) / dw;
            const int wx = int(std::nearbyint((fx - std::floor(fx)) * kWeightOne));
            const int left = int(std::floor(fx));
            const int right = left + 1 < sw ? left + 1 : sw - 1;
            for (int c = 0; c < 3; ++c) {
                auto at = [&](int row, int column) { return int(source.row(row)[column * 3 + c]); };
                const int upper = at(upperRow, left) * (kWeightOne - wx) + at(upperRow, right) * wx;
                const int lower = at(lowerRow, left) * (kWeightOne - wx) + at(lowerRow, right) * wx;
                target.row(j)[i * 3 + c] = std::uint8_t((upper * (kWeightOne - wy) + lower * wy) /
                                                        (kWeightOne * kWeightOne));
            }
        }
    }
}

} // namespace

void detail::resampleRowsScalar(const BgrImage &source, BgrImage &target,
                                const std::vector<ResampleTap> &columns,
                                const std::vector<ResampleTap> &rows)
{
    // Byte offsets and both weights per target column, once.
    struct ColumnTap
    {
        std::size_t left;
        std::size_t right;
        int leftWeight;
        int rightWeight;
    };
    std::vector<ColumnTap> taps;
    taps.reserve(columns.size());
    for (const ResampleTap &tap : columns)
        taps.push_back({std::size_t(tap.first) * 3, std::size_t(tap.second) * 3,
                        kWeightOne - tap.weight, tap.weight});
    for (int j = 0; j < target.height(); ++j) {
        const ResampleTap &rowTap = rows[std::size_t(j)];
        const std::uint8_t *upper = source.row(rowTap.first);
        const std::uint8_t *lower = source.row(rowTap.second);
        const int upperWeight = kWeightOne - rowTap.weight;
        const int lowerWeight = rowTap.weight;
        std::uint8_t *out = target.row(j);
        for (const ColumnTap &tap : taps) {
            for (std::size_t c = 0; c < 3; ++c) {
                const int top =
                    upper[tap.left + c] * tap.leftWeight + upper[tap.right + c] * tap.rightWeight;
                const int bottom =
                    lower[tap.left + c] * tap.leftWeight + lower[tap.right + c] * tap.rightWeight;
                *out++ = std::uint8_t((top * upperWeight + bottom * lowerWeight) >> kWeightShift);
            }
        }
    }
}

std::vector<ResampleTap> resampleTaps(int sourceLength, int targetLength)
{
    std::vector<ResampleTap> taps(std::size_t(targetLength > 0 ? targetLength : 0));
    for (int i = 0; i < targetLength; ++i) {
        const double position = double(std::int64_t(i) * (sourceLength - 1)) / targetLength;
        const double whole = std::floor(position);
        const int first = int(whole);
        // The default rounding mode rounds halves to even.
        const int weight = int(std::nearbyint((position - whole) * kWeightOne));
        taps[std::size_t(i)] = {first, first + 1 < sourceLength ? first + 1 : sourceLength - 1,
                                weight};
    }
    return taps;
}

bool canResample(const BgrImage &source)
{
    return !source.isEmpty() && source.width() <= kMaxResampleSide &&
           source.height() <= kMaxResampleSide;
}

BgrImage resample(const BgrImage &source, int width, int height, ResampleKernel kernel)
{
    if (!canResample(source))
        return {};
    BgrImage target(width, height);
    if (target.isEmpty())
        return target;
    if (kernel == ResampleKernel::Reference) {
        resampleReference(source, target);
        return target;
    }
    const std::vector<ResampleTap> columns = resampleTaps(source.width(), width);
    const std::vector<ResampleTap> rows = resampleTaps(source.height(), height);
    if (kernel != ResampleKernel::Scalar && cpuHasAvx2() && source.width() >= 2)
        detail::resampleRowsAvx2(source, target, columns, rows);
    else
        detail::resampleRowsScalar(source, target, columns, rows);
    return target;
}

} // namespace lumo::photo
