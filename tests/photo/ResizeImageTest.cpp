#include "photo/ResizeImage.h"
#include "tests/photo/PhotoTestImages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

using photo::Cimage;
using photo::ResampleKernel;
using photo::ResizeImage;

namespace {

// Every byte of the pixel memory, padding included.
std::vector<std::uint8_t> bytesOf(const Cimage &image)
{
    const std::uint8_t *p = image.Pointer();
    return {p, p + std::size_t(image.Stride()) * std::size_t(image.Height())};
}

Cimage fromRows(int width, int height, const std::vector<std::uint8_t> &pixels)
{
    Cimage image;
    EXPECT_TRUE(image.CreateNewImage(width, height));
    for (int y = 0; y < height; ++y)
        std::memcpy(image.Pointer() + y * image.Stride(), pixels.data() + y * width * 3,
                    std::size_t(width) * 3);
    return image;
}

std::vector<ResampleKernel> fastKernels()
{
    std::vector<ResampleKernel> kernels{ResampleKernel::Scalar, ResampleKernel::Best};
    if (photo::cpuHasAvx2())
        kernels.push_back(ResampleKernel::Avx2);
    return kernels;
}

} // namespace

TEST(Cimage, CreateNewImageChecksTheSizeAndPadsRows)
{
    Cimage image;
    EXPECT_FALSE(image.CreateNewImage(0, 10));
    EXPECT_FALSE(image.CreateNewImage(10, -1));
    EXPECT_TRUE(image.isEmpty());
    ASSERT_TRUE(image.CreateNewImage(1, 1));
    EXPECT_EQ(image.Stride(), 4);
    ASSERT_TRUE(image.CreateNewImage(260, 320));
    EXPECT_EQ(image.Stride(), 780);
    EXPECT_FALSE(image.CreateNewImage(0, 0));
    EXPECT_EQ(image.Width(), 260) << "a refused size leaves the image as it was";
    ASSERT_TRUE(image.CreateNewImage(5, 2));
    EXPECT_EQ(image.Stride(), 16);
    image.DisposeResource();
    EXPECT_TRUE(image.isEmpty());
    EXPECT_EQ(image.Width(), 0);
}

TEST(Cimage, KeepsBlueGreenRedOrderFromAndToQImage)
{
    QImage picture(2, 1, QImage::Format_RGB32);
    picture.setPixel(0, 0, qRgb(10, 20, 30));
    picture.setPixel(1, 0, qRgb(40, 50, 60));
    Cimage image;
    ASSERT_TRUE(image.LoadPicture(picture));
    const std::vector<std::uint8_t> expected{30, 20, 10, 60, 50, 40, 0, 0};
    EXPECT_EQ(bytesOf(image), expected);
    EXPECT_EQ(image.toImage().pixel(1, 0), qRgb(40, 50, 60));
    EXPECT_FALSE(image.LoadPicture(QImage()));
}

TEST(ResizeImage, ColumnPositionsOfA780By960Capture)
{
    const std::vector<photo::ResampleTap> columns = photo::resampleTaps(780, 260);
    ASSERT_EQ(columns.size(), 260u);
    EXPECT_EQ(columns[1].first, 2);     // 779 / 260 = 2.996
    EXPECT_EQ(columns[1].weight, 2040); // 0.996 x 2048 = 2040.1
    EXPECT_EQ(columns[259].first, 776);
    EXPECT_EQ(columns[259].second, 777);
    const std::vector<photo::ResampleTap> rows = photo::resampleTaps(960, 320);
    EXPECT_EQ(rows[319].first, 956);
    EXPECT_EQ(rows[319].second, 957);
}

TEST(ResizeImage, WeightsRoundHalvesToEven)
{
    // Position i / 4096 of a 2-pixel side: weights 0.5, 1.5, 2.5, 3.5.
    const std::vector<photo::ResampleTap> taps = photo::resampleTaps(2, 4096);
    EXPECT_EQ(taps[1].weight, 0);
    EXPECT_EQ(taps[3].weight, 2);
    EXPECT_EQ(taps[5].weight, 2);
    EXPECT_EQ(taps[7].weight, 4);
}

TEST(ResizeImage, HandComputedTwoByTwo)
{
    // Black and white side by side; positions 0, 0.25, 0.5, 0.75 and the remainder dropped.
    const Cimage source = fromRows(2, 2, {0, 0, 0, 255, 255, 255, 0, 0, 0, 255, 255, 255});
    for (ResampleKernel kernel :
         {ResampleKernel::Reference, ResampleKernel::Scalar, ResampleKernel::Avx2}) {
        const Cimage target = ResizeImage(source, 4, 1, kernel);
        ASSERT_EQ(target.Width(), 4);
        const std::vector<std::uint8_t> expected{0, 0, 0, 63, 63, 63, 127, 127, 127, 191, 191, 191};
        EXPECT_EQ(bytesOf(target), expected);
    }
}

TEST(ResizeImage, PhotoSizeOntoItselfBlendsWithTheNeighbours)
{
    // Columns alternate 0 and 200: target column 1 lies at 259/260 of the way to column 1.
    std::vector<std::uint8_t> pixels;
    for (int y = 0; y < 320; ++y)
        for (int x = 0; x < 260; ++x)
            pixels.insert(pixels.end(), 3, std::uint8_t(x % 2 ? 200 : 0));
    const Cimage source = fromRows(260, 320, pixels);
    const Cimage target = ResizeImage(source, 260, 320);
    ASSERT_FALSE(target.isEmpty());
    EXPECT_NE(bytesOf(target), bytesOf(source));
    EXPECT_EQ(target.Pointer()[3], (0 * 8 + 200 * 2040) / 2048); // 199
    EXPECT_EQ(target.Pointer()[0], 0);
}

TEST(ResizeImage, WhiteStaysWhiteAndPaddingStaysZero)
{
    QImage white(300, 369, QImage::Format_BGR888);
    white.fill(Qt::white);
    Cimage source;
    ASSERT_TRUE(source.LoadPicture(white));
    for (ResampleKernel kernel : fastKernels()) {
        const Cimage target = ResizeImage(source, 261, 320, kernel);
        for (int y = 0; y < target.Height(); ++y) {
            const std::uint8_t *row = target.Pointer() + y * target.Stride();
            for (int x = 0; x < target.Width() * 3; ++x)
                ASSERT_EQ(row[x], 255) << x << "," << y;
            for (int x = target.Width() * 3; x < target.Stride(); ++x)
                ASSERT_EQ(row[x], 0);
        }
    }
}

TEST(ResizeImage, OnePixelWideOrHighSourcesRepeatTheirOnlyNeighbour)
{
    // A single pixel fills the whole target.
    const Cimage dot = fromRows(1, 1, {7, 8, 9});
    const Cimage filled = ResizeImage(dot, 3, 2);
    const std::vector<std::uint8_t> expected{7, 8, 9, 7, 8, 9, 7, 8, 9, 0, 0, 0,
                                             7, 8, 9, 7, 8, 9, 7, 8, 9, 0, 0, 0};
    EXPECT_EQ(bytesOf(filled), expected);

    // A column of two pixels: rows at 0 and 0.5 between them.
    const Cimage column = fromRows(1, 2, {0, 100, 200, 100, 100, 0});
    for (ResampleKernel kernel :
         {ResampleKernel::Reference, ResampleKernel::Scalar, ResampleKernel::Avx2}) {
        const Cimage tall = ResizeImage(column, 2, 2, kernel);
        const std::vector<std::uint8_t> blend{0,  100, 200, 0,  100, 200, 0, 0,
                                              50, 100, 100, 50, 100, 100, 0, 0};
        EXPECT_EQ(bytesOf(tall), blend);
    }

    // A row of pixels, one high.
    const Cimage row = fromRows(2, 1, {0, 0, 0, 255, 255, 255});
    EXPECT_EQ(bytesOf(ResizeImage(row, 4, 3)),
              bytesOf(ResizeImage(row, 4, 3, ResampleKernel::Reference)));
}

TEST(ResizeImage, EmptySourceOrTargetGivesAnEmptyImage)
{
    EXPECT_TRUE(ResizeImage(Cimage(), 260, 320).isEmpty());
    const Cimage dot = fromRows(1, 1, {1, 2, 3});
    EXPECT_TRUE(ResizeImage(dot, 0, 320).isEmpty());
}

TEST(ResizeImage, FastKernelsGiveTheReferenceBytesForManySizes)
{
    std::mt19937 random(42);
    std::uniform_int_distribution<int> side(1, 90);
    std::vector<std::pair<QSize, QSize>> cases = {
        {{780, 960}, {260, 320}}, {{300, 369}, {260, 320}}, {{260, 320}, {260, 320}},
        {{2, 2}, {260, 320}},     {{1, 500}, {7, 3}},       {{500, 1}, {9, 4}},
        {{64, 48}, {1, 1}},
    };
    for (int n = 0; n < 150; ++n)
        cases.push_back({{side(random), side(random)}, {side(random), side(random)}});
    unsigned seed = 1;
    for (const auto &[from, to] : cases) {
        const Cimage source = phototest::noiseCimage(from.width(), from.height(), seed++);
        const std::vector<std::uint8_t> expected =
            bytesOf(ResizeImage(source, to.width(), to.height(), ResampleKernel::Reference));
        for (ResampleKernel kernel : fastKernels())
            ASSERT_EQ(bytesOf(ResizeImage(source, to.width(), to.height(), kernel)), expected)
                << from.width() << "x" << from.height() << " -> " << to.width() << "x"
                << to.height() << " kernel " << int(kernel);
    }
}
