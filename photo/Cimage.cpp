#include "photo/Cimage.h"

#include "photo/PhotoError.h"
#include "photo/PictureFile.h"

#include <cstring>
#include <new>

namespace photo {

namespace {

// Readable slack after the last row, so that vector loads near the end stay inside the block.
constexpr std::size_t kTailSlack = 32;

} // namespace

bool Cimage::CreateNewImage(int width, int height)
{
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide)
        return false;
    const int stride = strideFor(width);
    const std::size_t bytes = std::size_t(stride) * std::size_t(height) + kTailSlack;
    std::unique_ptr<std::uint8_t[]> pixels(new (std::nothrow) std::uint8_t[bytes]());
    if (!pixels)
        return false;
    DisposeResource();
    m_pixels = std::move(pixels);
    m_width = width;
    m_height = height;
    m_stride = stride;
    return true;
}

void Cimage::DisposeResource()
{
    m_pixels.reset();
    m_width = 0;
    m_height = 0;
    m_stride = 0;
}

bool Cimage::LoadPicture(const QImage &picture)
{
    if (picture.isNull())
        return false;
    const QImage pixels = picture.format() == QImage::Format_BGR888
                              ? picture
                              : picture.convertToFormat(QImage::Format_BGR888);
    if (pixels.isNull() || !CreateNewImage(pixels.width(), pixels.height()))
        return false;
    const std::size_t rowBytes = std::size_t(m_width) * 3;
    for (int y = 0; y < m_height; ++y)
        std::memcpy(m_pixels.get() + std::size_t(y) * std::size_t(m_stride),
                    pixels.constScanLine(y), rowBytes);
    return true;
}

bool Cimage::LoadPictureFromFile(const QString &fileName)
{
    try {
        return LoadPicture(photo::LoadPicture(fileName));
    } catch (const PhotoError &) {
        return false;
    }
}

QImage Cimage::toImage() const
{
    if (isEmpty())
        return QImage();
    QImage image(m_width, m_height, QImage::Format_BGR888);
    if (image.isNull())
        return image;
    const std::size_t rowBytes = std::size_t(m_width) * 3;
    for (int y = 0; y < m_height; ++y)
        std::memcpy(image.scanLine(y), m_pixels.get() + std::size_t(y) * std::size_t(m_stride),
                    rowBytes);
    return image;
}

} // namespace photo
