// Pictures and file probes shared by the photo tests.
#pragma once

#include "photo/Cimage.h"

#include <QByteArray>
#include <QImage>

#include <cstdint>
#include <random>

namespace phototest {

// Random pixels: no encoder can make them small.
inline QImage noiseImage(int width, int height, unsigned seed = 1)
{
    QImage image(width, height, QImage::Format_BGR888);
    std::mt19937 random(seed);
    for (int y = 0; y < height; ++y) {
        std::uint8_t *row = image.scanLine(y);
        for (int x = 0; x < width * 3; ++x)
            row[x] = std::uint8_t(random());
    }
    return image;
}

// A smooth picture, as a camera gives: compresses well.
inline QImage gradientImage(int width, int height)
{
    QImage image(width, height, QImage::Format_BGR888);
    for (int y = 0; y < height; ++y) {
        std::uint8_t *row = image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = std::uint8_t(x * 255 / (width > 1 ? width - 1 : 1));
            row[3 * x + 1] = std::uint8_t(y * 255 / (height > 1 ? height - 1 : 1));
            row[3 * x + 2] = std::uint8_t((x + y) % 256);
        }
    }
    return image;
}

inline photo::Cimage noiseCimage(int width, int height, unsigned seed)
{
    photo::Cimage image;
    image.LoadPicture(noiseImage(width, height, seed));
    return image;
}

struct JfifDensity
{
    int unit = -1;
    int x = 0;
    int y = 0;
};

// The density fields of the JFIF APP0 segment that follows the start-of-image marker.
inline JfifDensity jfifDensity(const QByteArray &file)
{
    JfifDensity density;
    const auto *b = reinterpret_cast<const unsigned char *>(file.constData());
    if (file.size() < 18 || b[0] != 0xFF || b[1] != 0xD8 || b[2] != 0xFF || b[3] != 0xE0 ||
        file.mid(6, 5) != QByteArray("JFIF\0", 5))
        return density;
    density.unit = b[13];
    density.x = b[14] * 256 + b[15];
    density.y = b[16] * 256 + b[17];
    return density;
}

inline bool isBitmapFile(const QByteArray &file)
{
    return file.startsWith("BM");
}
inline bool isJpegFile(const QByteArray &file)
{
    return file.startsWith("\xFF\xD8\xFF");
}

} // namespace phototest
