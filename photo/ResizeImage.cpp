#include "photo/ResizeImage.h"

#include <cmath>

namespace photo {

namespace {

constexpr int kOne = 2048;
constexpr int kShift = 22; // divide by 2048 x 2048; every sum is non-negative

// Straight from the rule: positions, weights and the four products for every byte.
void resizeReference(const Cimage &source, Cimage &target)
{
    const int sw = source.Width();
    const int sh = source.Height();
    const int dw = target.Width();
    const int dh = target.Height();
    const std::uint8_t *s = source.Pointer();
    std::uint8_t *d = target.Pointer();
    for (int j = 0; j < dh; ++j) {
        const double fy = double(std::int64_t(j) * (sh - 1)) / dh;
        const int wy = int(std::nearbyint((fy - std::floor(fy)) * kOne));
        const int upperRow = int(std::floor(fy));
        const int lowerRow = upperRow + 1 < sh ? upperRow + 1 : sh - 1;
        for (int i = 0; i < dw; ++i) {
            const double fx = double(std::int64_t(i) * (sw - 1)) / dw;
            const int wx = int(std::nearbyint((fx - std::floor(fx)) * kOne));
            const int left = int(std::floor(fx));
            const int right = left + 1 < sw ? left + 1 : sw - 1;
            for (int c = 0; c < 3; ++c) {
                auto at = [&](int row, int column) {
                    return int(s[std::size_t(row) * std::size_t(source.Stride()) +
                                 std::size_t(column) * 3 + std::size_t(c)]);
                };
                const int upper = at(upperRow, left) * (kOne - wx) + at(upperRow, right) * wx;
                const int lower = at(lowerRow, left) * (kOne - wx) + at(lowerRow, right) * wx;
                const int value = (upper * (kOne - wy) + lower * wy) / (kOne * kOne);
                d[std::size_t(j) * std::size_t(target.Stride()) + std::size_t(i) * 3 +
                  std::size_t(c)] = std::uint8_t(value);
            }
        }
    }
}

void resizeScalar(const Cimage &source, Cimage &target, const std::vector<ResampleTap> &columns,
                  const std::vector<ResampleTap> &rows)
{
    const std::size_t sourceStride = std::size_t(source.Stride());
    const int dw = target.Width();
    // Byte offsets and both weights per target column, once.
    struct ColumnTap
    {
        std::size_t left;
        std::size_t right;
        int leftWeight;
        int rightWeight;
    };
    std::vector<ColumnTap> taps(static_cast<std::size_t>(dw));
    for (int i = 0; i < dw; ++i) {
        const ResampleTap &tap = columns[std::size_t(i)];
        taps[std::size_t(i)] = {std::size_t(tap.first) * 3, std::size_t(tap.second) * 3,
                                kOne - tap.weight, tap.weight};
    }
    for (int j = 0; j < target.Height(); ++j) {
        const ResampleTap &rowTap = rows[std::size_t(j)];
        const std::uint8_t *upper = source.Pointer() + std::size_t(rowTap.first) * sourceStride;
        const std::uint8_t *lower = source.Pointer() + std::size_t(rowTap.second) * sourceStride;
        const int upperWeight = kOne - rowTap.weight;
        const int lowerWeight = rowTap.weight;
        std::uint8_t *out = target.Pointer() + std::size_t(j) * std::size_t(target.Stride());
        for (const ColumnTap &tap : taps) {
            for (std::size_t c = 0; c < 3; ++c) {
                const int top =
                    upper[tap.left + c] * tap.leftWeight + upper[tap.right + c] * tap.rightWeight;
                const int bottom =
                    lower[tap.left + c] * tap.leftWeight + lower[tap.right + c] * tap.rightWeight;
                *out++ = std::uint8_t((top * upperWeight + bottom * lowerWeight) >> kShift);
            }
        }
    }
}

} // namespace

std::vector<ResampleTap> resampleTaps(int sourceLength, int targetLength)
{
    std::vector<ResampleTap> taps(std::size_t(targetLength > 0 ? targetLength : 0));
    for (int i = 0; i < targetLength; ++i) {
        const double position = double(std::int64_t(i) * (sourceLength - 1)) / targetLength;
        const double whole = std::floor(position);
        const int first = int(whole);
        // The default rounding mode rounds halves to even.
        const int weight = int(std::nearbyint((position - whole) * kOne));
        taps[std::size_t(i)] = {first, first + 1 < sourceLength ? first + 1 : sourceLength - 1,
                                weight};
    }
    return taps;
}

bool cpuHasAvx2()
{
#if defined(__x86_64__) || defined(__i386__)
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
#else
    return false;
#endif
}

Cimage ResizeImage(const Cimage &source, int width, int height, ResampleKernel kernel)
{
    Cimage target;
    if (source.isEmpty() || !target.CreateNewImage(width, height))
        return target;
    if (kernel == ResampleKernel::Reference) {
        resizeReference(source, target);
        return target;
    }
    const std::vector<ResampleTap> columns = resampleTaps(source.Width(), width);
    const std::vector<ResampleTap> rows = resampleTaps(source.Height(), height);
    const bool avx2 = kernel != ResampleKernel::Scalar && cpuHasAvx2() && source.Width() >= 2;
    if (avx2)
        detail::resizeRowsAvx2(source, target, columns, rows);
    else
        resizeScalar(source, target, columns, rows);
    return target;
}

} // namespace photo
