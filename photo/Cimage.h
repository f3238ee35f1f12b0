// A 24-bit picture in the layout of a top-down device-independent bitmap: rows of blue, green,
// red bytes, each row padded with zero bytes to a multiple of 4.
#pragma once

#include <QImage>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace photo {

class Cimage
{
public:
    Cimage() = default;
    Cimage(Cimage &&) noexcept = default;
    Cimage &operator=(Cimage &&) noexcept = default;
    Cimage(const Cimage &) = delete;
    Cimage &operator=(const Cimage &) = delete;
    ~Cimage() { DisposeResource(); }

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int Stride() const { return m_stride; }
    std::uint8_t *Pointer() { return m_pixels.get(); }
    const std::uint8_t *Pointer() const { return m_pixels.get(); }
    bool isEmpty() const { return !m_pixels; }

    // Bytes per row for a width: width x 3 rounded up to a multiple of 4.
    static int strideFor(int width) { return (width * 3 + 3) & ~3; }

    // Replaces the image with a blank one (every byte 0) of that size. False, leaving the image
    // unchanged, for a size below 1 x 1 or when the memory cannot be had.
    bool CreateNewImage(int width, int height);

    // Releases the pixels; the image becomes empty.
    void DisposeResource();

    // A new image of the picture's pixel size holding the picture. False when the picture is
    // empty or the memory cannot be had.
    bool LoadPicture(const QImage &picture);

    // Loads a picture file (bitmap or JPEG). False on any failure.
    bool LoadPictureFromFile(const QString &fileName);

    // A copy as a QImage (Format_BGR888, the same byte layout); null when empty.
    QImage toImage() const;

    // Largest width or height accepted; no photo comes near it.
    static constexpr int kMaxSide = 32767;

private:
    int m_width = 0;
    int m_height = 0;
    int m_stride = 0;
    std::unique_ptr<std::uint8_t[]> m_pixels;
};

} // namespace photo
