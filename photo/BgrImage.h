// The pixels every photo step works on: 24-bit rows, top row first, each pixel blue, green, red,
// each row padded with zero bytes to a multiple of 4 - the layout of QImage::Format_BGR888 and
// of a 24-bit device-independent bitmap, so rows copy over 1:1 both ways.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace lumo::photo {

class BgrImage
{
public:
    // Largest picture made or read: a camera frame is far below it, and a file claiming more
    // is refused before any memory is taken for it.
    static constexpr std::int64_t kMaxPixels = 50'000'000;
    static constexpr int kMaxSide = 65535;

    BgrImage() = default;
    // A black image of that size (every byte 0); empty when the size is outside 1 x 1 up to
    // the limits above, or the memory cannot be had.
    BgrImage(int width, int height);
    BgrImage(const BgrImage &other);
    BgrImage &operator=(const BgrImage &other);
    BgrImage(BgrImage &&other) noexcept;
    BgrImage &operator=(BgrImage &&other) noexcept;
    ~BgrImage() = default;

    // A copy of rows that already have this layout (a QImage::Format_BGR888's constBits() and
    // bytesPerLine(), say). bytesPerLine may be anything from width x 3 up.
    static BgrImage fromRows(const std::uint8_t *firstRow, std::ptrdiff_t bytesPerLine, int width,
                             int height);

    static bool fitsLimits(std::int64_t width, std::int64_t height);
    static int strideFor(int width) { return (width * 3 + 3) & ~3; }

    bool isEmpty() const { return !m_pixels; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    int stride() const { return m_stride; }
    std::size_t byteCount() const { return std::size_t(m_stride) * std::size_t(m_height); }
    std::uint8_t *bits() { return m_pixels.get(); }
    const std::uint8_t *bits() const { return m_pixels.get(); }
    std::uint8_t *row(int y) { return m_pixels.get() + std::size_t(y) * std::size_t(m_stride); }
    const std::uint8_t *row(int y) const
    {
        return m_pixels.get() + std::size_t(y) * std::size_t(m_stride);
    }

    // Resolution in dots per metre, as bitmaps and QImage keep it; 0 = none recorded.
    int dotsPerMeterX() const { return m_dotsPerMeterX; }
    int dotsPerMeterY() const { return m_dotsPerMeterY; }
    void setDotsPerMeter(int x, int y)
    {
        m_dotsPerMeterX = x;
        m_dotsPerMeterY = y;
    }

private:
    int m_width = 0;
    int m_height = 0;
    int m_stride = 0;
    int m_dotsPerMeterX = 0;
    int m_dotsPerMeterY = 0;
    std::unique_ptr<std::uint8_t[]> m_pixels;
};

bool operator==(const BgrImage &a, const BgrImage &b);

} // namespace lumo::photo
