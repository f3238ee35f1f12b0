#include "photo/Resampler.h"
#include "tests/photo/PhotoTestImages.h"

#include <gtest/gtest.h>

#include <array>

using namespace lumo::photo;

namespace {

using Bytes = std::vector<std::uint8_t>;

// Every byte of the pixel memory, padding included.
Bytes bytesOf(const BgrImage &image)
{
    return {image.bits(), image.bits() + image.byteCount()};
}

BgrImage fromRows(int width, int height, const Bytes &pixels)
{
    return BgrImage::fromRows(pixels.data(), width * 3, width, height);
}

const ResampleKernel kAllKernels[] = {ResampleKernel::Reference, ResampleKernel::Scalar,
                                      ResampleKernel::Avx2, ResampleKernel::Best};

} // namespace

TEST(Resampler, TapsOfA780By960CaptureAndHalvesRoundedToEven)
{
    const std::vector<ResampleTap> columns = resampleTaps(780, 260);
    ASSERT_EQ(columns.size(), 260u);
    EXPECT_EQ(columns[1].first, 2);     // 779 / 260 = 2.996
    EXPECT_EQ(columns[1].weight, 2040); // 0.996 x 2048 = 2040.1
    EXPECT_EQ(columns[259].second, 777);
    // Position i / 4096 of a 2-pixel side: weights 0.5, 1.5, 2.5, 3.5.
    const std::vector<ResampleTap> taps = resampleTaps(2, 4096);
    EXPECT_EQ((std::vector{taps[1].weight, taps[3].weight, taps[5].weight, taps[7].weight}),
              (std::vector{0, 2, 2, 4}));
}

TEST(Resampler, HandComputedBlendsInEveryKernelAndNothingFromNothing)
{
    // Black and white side by side: positions 0, 0.25, 0.5, 0.75, the remainder dropped.
    const BgrImage blackWhite = fromRows(2, 2, {0, 0, 0, 255, 255, 255, 0, 0, 0, 255, 255, 255});
    // A column of two pixels: rows at 0 and 0.5 between them.
    const BgrImage column = fromRows(1, 2, {0, 100, 200, 100, 100, 0});
    for (ResampleKernel kernel : kAllKernels) {
        EXPECT_EQ(bytesOf(resample(blackWhite, 4, 1, kernel)),
                  (Bytes{0, 0, 0, 63, 63, 63, 127, 127, 127, 191, 191, 191}));
        EXPECT_EQ(bytesOf(resample(column, 2, 2, kernel)),
                  (Bytes{0, 100, 200, 0, 100, 200, 0, 0, 50, 100, 100, 50, 100, 100, 0, 0}));
    }
    // A single pixel fills the whole target.
    EXPECT_EQ(bytesOf(resample(fromRows(1, 1, {7, 8, 9}), 3, 2)),
              (Bytes{7, 8, 9, 7, 8, 9, 7, 8, 9, 0, 0, 0, 7, 8, 9, 7, 8, 9, 7, 8, 9, 0, 0, 0}));
    EXPECT_TRUE(resample(BgrImage(), 260, 320).isEmpty());
    EXPECT_TRUE(resample(fromRows(1, 1, {1, 2, 3}), 0, 320).isEmpty());
}

TEST(Resampler, FastKernelsGiveTheReferenceBytesForManySizes)
{
    std::mt19937 random(42);
    std::uniform_int_distribution<int> side(1, 90);
    std::vector<std::array<int, 4>> cases = {
        {780, 960, 260, 320}, {300, 369, 260, 320}, {260, 320, 260, 320}, {2, 2, 260, 320},
        {1, 500, 7, 3},       {500, 1, 9, 4},       {64, 48, 1, 1}};
    for (int n = 0; n < 150; ++n)
        cases.push_back({side(random), side(random), side(random), side(random)});
    unsigned seed = 1;
    for (const auto &[fromWidth, fromHeight, width, height] : cases) {
        const BgrImage source = phototest::noiseImage(fromWidth, fromHeight, seed++);
        const auto expected = bytesOf(resample(source, width, height, ResampleKernel::Reference));
        for (ResampleKernel kernel : kAllKernels)
            ASSERT_EQ(bytesOf(resample(source, width, height, kernel)), expected)
                << fromWidth << "x" << fromHeight << " -> " << width << "x" << height << " kernel "
                << int(kernel);
    }
}
