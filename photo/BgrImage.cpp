#include "photo/BgrImage.h"

#include <cstring>
#include <new>
#include <utility>

namespace lumo::photo {

namespace {

// Readable slack after the last row, so that vector loads near the end stay inside the block.
constexpr std::size_t kTailSlack = 32;

} // namespace

bool BgrImage::fitsLimits(std::int64_t width, std::int64_t height)
{
    return width >= 1 && height >= 1 && width <= kMaxSide && height <= kMaxSide &&
           width * height <= kMaxPixels;
}

BgrImage::BgrImage(int width, int height)
{
    if (!fitsLimits(width, height))
        return;
    const int stride = strideFor(width);
    m_pixels.reset(new (std::nothrow)
                       std::uint8_t[std::size_t(stride) * std::size_t(height) + kTailSlack]());
    if (!m_pixels)
        return;
    m_width = width;
    m_height = height;
    m_stride = stride;
}

BgrImage::BgrImage(const BgrImage &other) : BgrImage(other.m_width, other.m_height)
{
    if (!isEmpty())
        std::memcpy(m_pixels.get(), other.m_pixels.get(), byteCount());
    setDotsPerMeter(other.m_dotsPerMeterX, other.m_dotsPerMeterY);
}

BgrImage &BgrImage::operator=(const BgrImage &other)
{
    if (this != &other)
        *this = BgrImage(other);
    return *this;
}

BgrImage::BgrImage(BgrImage &&other) noexcept
    : m_width(std::exchange(other.m_width, 0)), m_height(std::exchange(other.m_height, 0)),
      m_stride(std::exchange(other.m_stride, 0)),
      m_dotsPerMeterX(std::exchange(other.m_dotsPerMeterX, 0)),
      m_dotsPerMeterY(std::exchange(other.m_dotsPerMeterY, 0)), m_pixels(std::move(other.m_pixels))
{
}

BgrImage &BgrImage::operator=(BgrImage &&other) noexcept
{
    m_width = std::exchange(other.m_width, 0);
    m_height = std::exchange(other.m_height, 0);
    m_stride = std::exchange(other.m_stride, 0);
    m_dotsPerMeterX = std::exchange(other.m_dotsPerMeterX, 0);
    m_dotsPerMeterY = std::exchange(other.m_dotsPerMeterY, 0);
    m_pixels = std::move(other.m_pixels);
    return *this;
}

BgrImage BgrImage::fromRows(const std::uint8_t *firstRow, std::ptrdiff_t bytesPerLine, int width,
                            int height)
{
    BgrImage image(width, height);
    if (image.isEmpty() || !firstRow || bytesPerLine < std::ptrdiff_t(width) * 3)
        return {};
    for (int y = 0; y < height; ++y)
        std::memcpy(image.row(y), firstRow + std::ptrdiff_t(y) * bytesPerLine,
                    std::size_t(width) * 3);
    return image;
}

bool operator==(const BgrImage &a, const BgrImage &b)
{
    if (a.width() != b.width() || a.height() != b.height() ||
        a.dotsPerMeterX() != b.dotsPerMeterX() || a.dotsPerMeterY() != b.dotsPerMeterY())
        return false;
    return a.isEmpty() || std::memcmp(a.bits(), b.bits(), a.byteCount()) == 0;
}

} // namespace lumo::photo
