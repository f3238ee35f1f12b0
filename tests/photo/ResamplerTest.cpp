#include "photo/Resampler.h"
#include "tests/photo/PhotoTestImages.h"

#include <gtest/gtest.h>

#include <utility>

using lumo::photo::BgrImage;
using lumo::photo::resample;
using lumo::photo::ResampleKernel;

namespace {

// Every byte of the pixel memory, padding included.
std::vector<std::uint8_t> bytesOf(const BgrImage &image)
{
    return {image.bits(), image.bits() + image.byteCount()};
}

BgrImage fromRows(int width, int height, const std::vector<std::uint8_t> &pixels)
{
    return BgrImage::fromRows(pixels.data(), width * 3, width, height);
}

const ResampleKernel kAllKernels[] = {ResampleKernel::Reference, ResampleKernel::Scalar,
                                      ResampleKernel::Avx2, ResampleKernel::Best};

} // namespace

TEST(Resampler, TapsOfA780By960CaptureAndHalvesRoundedToEven)
{
    const std::vector<lumo::photo::ResampleTap> columns = lumo::photo::resampleTaps(780, 260);
    ASSERT_EQ(columns.size(), 260u);
    EXPECT_EQ(columns[1].first, 2);     // 779 / 260 = 2.996
    EXPECT_EQ(columns[1].weight, 2040); // 0.996 x 2048 = 2040.1
    EXPECT_EQ(columns[259].second, 777);
    EXPECT_EQ(lumo::photo::resampleTaps(960, 320)[319].second, 957);
    // Position i / 4096 of a 2-pixel side: weights 0.5, 1.5, 2.5, 3.5.
    const std::vector<lumo::photo::ResampleTap> taps = lumo::photo::resampleTaps(2, 4096);
    EXPECT_EQ((std::vector{taps[1].weight, taps[3].weight, taps[5].weight, taps[7].weight}),
              (std::vector{0, 2, 2, 4}));
}

TEST(Resampler, HandComputedBlendsInEveryKernel)
{
    // Black and white side by side: positions 0, 0.25, 0.5, 0.75, the remainder dropped.
    const BgrImage blackWhite = fromRows(2, 2, {0, 0, 0, 255, 255, 255, 0, 0, 0, 255, 255, 255});
    // A column of two pixels: rows at 0 and 0.5 between them.
    const BgrImage column = fromRows(1, 2, {0, 100, 200, 100, 100, 0});
    for (ResampleKernel kernel : kAllKernels) {
        EXPECT_EQ(bytesOf(resample(blackWhite, 4, 1, kernel)),
                  (std::vector<std::uint8_t>{0, 0, 0, 63, 63, 63, 127, 127, 127, 191, 191, 191}));
        EXPECT_EQ(bytesOf(resample(column, 2, 2, kernel)),
                  (std::vector<std::uint8_t>{0, 100, 200, 0, 100, 200, 0, 0, 50, 100, 100, 50, 100,
                                             100, 0, 0}));
    }
    // A single pixel fills the whole target.
    EXPECT_EQ(bytesOf(resample(fromRows(1, 1, {7, 8, 9}), 3, 2)),
              (std::vector<std::uint8_t>{7, 8, 9, 7, 8, 9, 7, 8, 9, 0, 0, 0,
                                         7, 8, 9, 7, 8, 9, 7, 8, 9, 0, 0, 0}));
}

TEST(Resampler, NothingToResampleGivesAnEmptyImage)
{
    EXPECT_TRUE(resample(BgrImage(), 260, 320).isEmpty());
    EXPECT_TRUE(resample(fromRows(1, 1, {1, 2, 3}), 0, 320).isEmpty());
}

TEST(Resampler, FastKernelsGiveTheReferenceBytesForManySizes)
{
    std::mt19937 random(42);
    std::uniform_int_distribution<int> side(1, 90);
    std::vector<std::pair<std::pair<int, int>, std::pair<int, int>>> cases = {
        {{780, 960}, {260, 320}}, {{300, 369}, {260, 320}}, {{260, 320}, {260, 320}},
        {{2, 2}, {260, 320}},     {{1, 500}, {7, 3}},       {{500, 1}, {9, 4}},
        {{64, 48}, {1, 1}},
    };
    for (int n = 0; n < 150; ++n)
        cases.push_back({{side(random), side(random)}, {side(random), side(random)}});
    unsigned seed = 1;
    for (const auto &[from, to] : cases) {
        const BgrImage source = phototest::noiseImage(from.first, from.second, seed++);
        const std::vector<std::uint8_t> expected =
            bytesOf(resample(source, to.first, to.second, ResampleKernel::Reference));
        for (ResampleKernel kernel : kAllKernels)
            ASSERT_EQ(bytesOf(resample(source, to.first, to.second, kernel)), expected)
                << from.first << "x" << from.second << " -> " << to.first << "x" << to.second
                << " kernel " << int(kernel);
    }
}
