#include "photo/BitmapCodec.h"

#include "photo/PictureSizeLimit.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace lumo::photo {

namespace {

constexpr int kFileHeaderBytes = 14;
constexpr int kInfoHeaderBytes = 40;
constexpr int kUncompressed = 0;
constexpr int kBitFields = 3;

quint32 getLe32(const unsigned char *at)
{
    return quint32(at[0]) | quint32(at[1]) << 8 | quint32(at[2]) << 16 | quint32(at[3]) << 24;
}

quint16 getLe16(const unsigned char *at)
{
    return quint16(at[0] | at[1] << 8);
}

void putLe16(char *at, quint16 value)
{
    at[0] = char(value & 0xFF);
    at[1] = char(value >> 8);
}

void putLe32(char *at, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = char((value >> (8 * i)) & 0xFF);
}

// 32-bit pixels with bit fields are read when the fields are the usual blue, green, red bytes.
bool hasPlainBitFields(QByteArrayView bytes, int headerBytes)
{
    // The masks follow a 40-byte header, or sit inside a longer one at the same place.
    const qsizetype masks = kFileHeaderBytes + kInfoHeaderBytes;
    if (bytes.size() < masks + 12 || headerBytes < kInfoHeaderBytes)
        return false;
    const auto *b = reinterpret_cast<const unsigned char *>(bytes.data()) + masks;
    return getLe32(b) == 0x00FF0000 && getLe32(b + 4) == 0x0000FF00 && getLe32(b + 8) == 0x000000FF;
}

} // namespace

QByteArray encodeBitmap(const BgrImage &image)
{
    const int width = image.width();
    const int height = image.height();
    const qsizetype rowBytes = image.stride();
    constexpr int kHeaderBytes = kFileHeaderBytes + kInfoHeaderBytes;
    const qsizetype pixelBytes = rowBytes * height;
    QByteArray bytes(kHeaderBytes + pixelBytes, Qt::Uninitialized);
    char *out = bytes.data();
    std::memset(out, 0, kHeaderBytes);
    out[0] = 'B';
    out[1] = 'M';
    putLe32(out + 2, quint32(kHeaderBytes + pixelBytes));
    putLe32(out + 10, kHeaderBytes);
    putLe32(out + 14, kInfoHeaderBytes);
    putLe32(out + 18, quint32(width));
    putLe32(out + 22, quint32(height)); // positive: rows bottom-up, as every reader expects
    putLe16(out + 26, 1);
    putLe16(out + 28, 24);
    putLe32(out + 30, kUncompressed);
    putLe32(out + 34, quint32(pixelBytes));
    putLe32(out + 38, quint32(image.dotsPerMeterX()));
    putLe32(out + 42, quint32(image.dotsPerMeterY()));
    const std::size_t pixelRowBytes = std::size_t(width) * 3;
    for (int y = 0; y < height; ++y) {
        char *row = out + kHeaderBytes + rowBytes * (height - 1 - y);
        std::memcpy(row, image.row(y), pixelRowBytes);
        std::memset(row + pixelRowBytes, 0, std::size_t(rowBytes) - pixelRowBytes);
    }
    return bytes;
}

bool readBitmapHeader(QByteArrayView bytes, BitmapHeader *header, QString *error)
{
    *header = BitmapHeader();
    const auto *b = reinterpret_cast<const unsigned char *>(bytes.data());
    if (bytes.size() < kFileHeaderBytes + kInfoHeaderBytes || b[0] != 'B' || b[1] != 'M' ||
        getLe32(b + 14) < kInfoHeaderBytes) {
        if (error)
            *error = QStringLiteral("不是可以读取的 BMP 文件（文件头不完整或太旧）");
        return false;
    }
    const qint64 height = qint32(getLe32(b + 22));
    header->pixelOffset = getLe32(b + 10);
    header->width = qint32(getLe32(b + 18));
    header->height = int(std::min<qint64>(height < 0 ? -height : height, INT32_MAX));
    header->topDown = height < 0;
    header->bitsPerPixel = getLe16(b + 28);
    header->compression = int(getLe32(b + 30));
    header->dotsPerMeterX = qint32(getLe32(b + 38));
    header->dotsPerMeterY = qint32(getLe32(b + 42));
    return true;
}

namespace {

// Everything a decode checks before it takes memory for the pixels; empty when it can go on.
QString bitmapProblem(QByteArrayView bytes, BitmapHeader *header)
{
    QString reason;
    if (!readBitmapHeader(bytes, header, &reason))
        return reason;
    const auto *b = reinterpret_cast<const unsigned char *>(bytes.data());
    const bool supported =
        (header->bitsPerPixel == 24 && header->compression == kUncompressed) ||
        (header->bitsPerPixel == 32 &&
         (header->compression == kUncompressed ||
          (header->compression == kBitFields && hasPlainBitFields(bytes, int(getLe32(b + 14))))));
    if (!supported)
        return QStringLiteral(
                   "只能读取未压缩的 24 位和 32 位 BMP 图片（这个是 %1 位，压缩方式 %2）")
            .arg(header->bitsPerPixel)
            .arg(header->compression);
    reason = detail::pictureSizeProblem(header->width, header->height);
    if (!reason.isEmpty())
        return reason;
    const qint64 fileRowBytes = (qint64(header->width) * header->bitsPerPixel + 31) / 32 * 4;
    if (header->pixelOffset < kFileHeaderBytes + kInfoHeaderBytes ||
        header->pixelOffset + fileRowBytes * header->height > bytes.size())
        return QStringLiteral("BMP 文件不完整");
    return {};
}

} // namespace

bool verifyBitmap(QByteArrayView bytes, QString *error)
{
    BitmapHeader header;
    const QString reason = bitmapProblem(bytes, &header);
    if (!reason.isEmpty() && error)
        *error = reason;
    return reason.isEmpty();
}

BgrImage decodeBitmap(QByteArrayView bytes, QString *error)
{
    BitmapHeader header;
    QString reason = bitmapProblem(bytes, &header);
    if (reason.isEmpty())
        reason = detail::decodingMemoryProblem(
            bytes.size() + qint64(BgrImage::strideFor(header.width)) * header.height);
    if (!reason.isEmpty()) {
        if (error)
            *error = reason;
        return {};
    }
    const auto *b = reinterpret_cast<const unsigned char *>(bytes.data());
    const int bytesPerPixel = header.bitsPerPixel / 8;
    const qint64 fileRowBytes = (qint64(header.width) * header.bitsPerPixel + 31) / 32 * 4;
    BgrImage image(header.width, header.height);
    if (image.isEmpty()) {
        if (error)
            *error = QStringLiteral("内存不足");
        return {};
    }
    for (int y = 0; y < header.height; ++y) {
        const int fileRow = header.topDown ? y : header.height - 1 - y;
        const unsigned char *in = b + header.pixelOffset + fileRowBytes * fileRow;
        std::uint8_t *out = image.row(y);
        if (bytesPerPixel == 3) {
            std::memcpy(out, in, std::size_t(header.width) * 3);
            continue;
        }
        for (int x = 0; x < header.width; ++x, in += 4, out += 3)
            std::memcpy(out, in, 3);
    }
    image.setDotsPerMeter(header.dotsPerMeterX, header.dotsPerMeterY);
    return image;
}

} // namespace lumo::photo
