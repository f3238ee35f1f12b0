#include "photo/PictureFile.h"

#include "common/AtomicFile.h"
#include "common/NativePath.h"
#include "photo/BitmapCodec.h"
#include "photo/JpegCodec.h"

#include <QDir>

#include <cmath>

namespace lumo::photo {

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

int dpiFromDensity(int unit, int value)
{
    if (unit == 1)
        return value;
    if (unit == 2)
        return int(std::lround(value * 2.54));
    return 0;
}

// Why a content that is neither JPEG nor bitmap is not read.
QString unreadableFormatReason(PictureFormat format)
{
    return format == PictureFormat::Png
               ? QStringLiteral("PNG 图片不能读取，只能读取 JPEG 和 BMP 图片")
               : QStringLiteral("既不是 JPEG 也不是 BMP 图片");
}

} // namespace

PictureFormat pictureFormatOf(QByteArrayView bytes)
{
    const auto *b = reinterpret_cast<const unsigned char *>(bytes.data());
    if (bytes.size() >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF)
        return PictureFormat::Jpeg;
    if (bytes.size() >= 2 && b[0] == 'B' && b[1] == 'M')
        return PictureFormat::Bitmap;
    if (bytes.startsWith("\x89PNG\r\n\x1a\n"))
        return PictureFormat::Png;
    return PictureFormat::Other;
}

const char *formatName(PictureFormat format)
{
    switch (format) {
    case PictureFormat::Jpeg:
        return "JPEG";
    case PictureFormat::Bitmap:
        return "BMP";
    case PictureFormat::Png:
        return "PNG";
    case PictureFormat::Other:
        return "other";
    case PictureFormat::Missing:
        break;
    }
    return "missing";
}

bool readFileBytes(const QString &path, QByteArray *bytes, QString *error)
{
    QString reason;
    if (common::readRegularFile(path, kMaxDecodingBytes, bytes, &reason))
        return true;
    if (error)
        *error = common::pathKind(path) != common::PathKind::Missing
                     ? reason
                     : QStringLiteral("找不到文件 %1。").arg(shown(path));
    return false;
}

BgrImage decodePicture(QByteArrayView bytes, QString *error)
{
    const PictureFormat format = pictureFormatOf(bytes);
    if (format == PictureFormat::Jpeg)
        return decodeJpeg(bytes, error);
    if (format == PictureFormat::Bitmap)
        return decodeBitmap(bytes, error);
    if (error)
        *error = unreadableFormatReason(format);
    return {};
}

bool verifyPicture(QByteArrayView bytes, QString *error)
{
    const PictureFormat format = pictureFormatOf(bytes);
    if (format == PictureFormat::Jpeg)
        return verifyJpeg(bytes, error);
    if (format == PictureFormat::Bitmap)
        return verifyBitmap(bytes, error);
    if (error)
        *error = unreadableFormatReason(format);
    return false;
}

BgrImage readPictureFile(const QString &path, QString *error)
{
    QByteArray bytes;
    if (!readFileBytes(path, &bytes, error))
        return {};
    QString reason;
    BgrImage image = decodePicture(bytes, &reason);
    if (image.isEmpty() && error)
        *error = QStringLiteral("文件 %1 不是可以读取的图片：%2").arg(shown(path), reason);
    return image;
}

bool inspectPicture(QByteArrayView bytes, PictureInfo *info, QString *error)
{
    *info = PictureInfo();
    info->bytes = bytes.size();
    info->format = pictureFormatOf(bytes);
    if (info->format == PictureFormat::Jpeg) {
        JpegHeader header;
        if (!readJpegHeader(bytes, &header, error))
            return false;
        info->width = header.width;
        info->height = header.height;
        info->dpiX = dpiFromDensity(header.densityUnit, header.densityX);
        info->dpiY = dpiFromDensity(header.densityUnit, header.densityY);
        info->decodingBytes =
            qint64(BgrImage::strideFor(qMin(header.width, BgrImage::kMaxSide))) * header.height +
            header.coefficientBytes;
        return true;
    }
    if (info->format == PictureFormat::Bitmap) {
        BitmapHeader header;
        if (!readBitmapHeader(bytes, &header, error))
            return false;
        info->width = header.width;
        info->height = header.height;
        info->dpiX = dotsPerInchOf(header.dotsPerMeterX);
        info->dpiY = dotsPerInchOf(header.dotsPerMeterY);
        info->decodingBytes =
            qint64(BgrImage::strideFor(qBound(0, header.width, BgrImage::kMaxSide))) *
            header.height;
        return true;
    }
    if (error)
        *error = unreadableFormatReason(info->format);
    return false;
}

int dotsPerInchOf(int dotsPerMeter)
{
    return int(std::lround(dotsPerMeter * 0.0254));
}

} // namespace lumo::photo
