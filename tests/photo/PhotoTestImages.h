// Pictures and file probes shared by the photo tests.
#pragma once

#include "photo/BgrImage.h"

#include <QByteArray>
#include <QtEndian>

#include <array>
#include <cstdint>
#include <random>

namespace phototest {

// Random pixels: no encoder can make them small.
inline lumo::photo::BgrImage noiseImage(int width, int height, unsigned seed = 1)
{
    lumo::photo::BgrImage image(width, height);
    std::mt19937 random(seed);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width * 3; ++x)
            image.row(y)[x] = std::uint8_t(random());
    return image;
}

// A smooth picture, as a camera gives: compresses well. 96 dots per inch, as a screen grab has.
inline lumo::photo::BgrImage gradientImage(int width, int height)
{
    lumo::photo::BgrImage image(width, height);
    for (int y = 0; y < height; ++y) {
        std::uint8_t *row = image.row(y);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = std::uint8_t(x * 255 / (width > 1 ? width - 1 : 1));
            row[3 * x + 1] = std::uint8_t(y * 255 / (height > 1 ? height - 1 : 1));
            row[3 * x + 2] = std::uint8_t((x + y) % 256);
        }
    }
    image.setDotsPerMeter(3780, 3780);
    return image;
}

// Unit, x and y density of the JFIF APP0 segment right after the start-of-image marker; unit -1
// when the file does not start so.
inline std::array<int, 3> jfifDensity(const QByteArray &file)
{
    const auto *b = reinterpret_cast<const unsigned char *>(file.constData());
    if (file.size() < 18 || !file.startsWith("\xFF\xD8\xFF\xE0") || file.mid(6, 4) != "JFIF")
        return {-1, 0, 0};
    return {b[13], b[14] * 256 + b[15], b[16] * 256 + b[17]};
}

// The baseline JPEG with its frame header claiming another size, and a progressive one if asked.
inline QByteArray claiming(QByteArray jpeg, quint16 width, quint16 height, bool progressive = false)
{
    const qsizetype frame = jpeg.indexOf("\xFF\xC0");
    jpeg[frame + 1] = progressive ? '\xC2' : '\xC0';
    qToBigEndian(height, jpeg.data() + frame + 5);
    qToBigEndian(width, jpeg.data() + frame + 7);
    return jpeg;
}

} // namespace phototest
