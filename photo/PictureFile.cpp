#include "photo/PictureFile.h"

#include "photo/JpegErrorManager.h"
#include "photo/PhotoError.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <cmath>
#include <cstring>

namespace photo {

namespace {

constexpr double kInchesPerMetre = 1.0 / 0.0254;

PictureFormat formatOfBytes(const QByteArray &head)
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(head.constData());
    if (head.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF)
        return PictureFormat::Jpeg;
    if (head.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M')
        return PictureFormat::Bitmap;
    if (head.startsWith("\x89PNG\r\n\x1a\n"))
        return PictureFormat::Png;
    return PictureFormat::Other;
}

enum class JpegDecode { Done, Failed, NotSupported };

// Decodes straight into blue-green-red rows. No C++ object with a destructor lives in this frame
// across the jump back from libjpeg.
JpegDecode decodeJpegInto(const unsigned char *data, unsigned long size, QImage *out)
{
    jpeg_decompress_struct info;
    detail::JpegErrorManager errors;
    info.err = detail::installJpegErrorManager(errors);
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return JpegDecode::Failed;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, size);
    jpeg_read_header(&info, TRUE);
    if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK) {
        jpeg_destroy_decompress(&info);
        return JpegDecode::NotSupported;
    }
    info.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&info);
    *out = QImage(int(info.output_width), int(info.output_height), QImage::Format_BGR888);
    if (out->isNull()) {
        jpeg_destroy_decompress(&info);
        return JpegDecode::Failed;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out->scanLine(int(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    if (info.density_unit == 1 && info.X_density > 0 && info.Y_density > 0) {
        out->setDotsPerMeterX(int(std::lround(info.X_density * kInchesPerMetre)));
        out->setDotsPerMeterY(int(std::lround(info.Y_density * kInchesPerMetre)));
    } else if (info.density_unit == 2 && info.X_density > 0 && info.Y_density > 0) {
        out->setDotsPerMeterX(info.X_density * 100);
        out->setDotsPerMeterY(info.Y_density * 100);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return JpegDecode::Done;
}

struct JpegDensity
{
    int unit = 0;
    int x = 0;
    int y = 0;
};

// The JFIF density fields; no C++ object with a destructor lives in this frame across the jump.
bool readJpegDensity(const unsigned char *data, unsigned long size, JpegDensity *density)
{
    jpeg_decompress_struct info;
    detail::JpegErrorManager errors;
    info.err = detail::installJpegErrorManager(errors);
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, size);
    jpeg_read_header(&info, TRUE);
    if (info.saw_JFIF_marker) {
        density->unit = info.density_unit;
        density->x = info.X_density;
        density->y = info.Y_density;
    }
    jpeg_destroy_decompress(&info);
    return true;
}

int dpiFromDensity(int unit, int value)
{
    if (unit == 1)
        return value;
    if (unit == 2)
        return int(std::lround(value * 2.54));
    return 0;
}

quint32 getLe32(const QByteArray &bytes, int at)
{
    quint32 value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | quint8(bytes.at(at + i));
    return value;
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

} // namespace

PictureFormat detectPictureFormat(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return PictureFormat::Missing;
    return formatOfBytes(file.read(8));
}

QImage LoadPicture(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (!QFile::exists(path))
            throw PhotoError(kFileNotFound,
                             QStringLiteral("找不到文件 %1。").arg(QDir::toNativeSeparators(path)));
        throw PhotoError(kPathAccessError,
                         QStringLiteral("无法读取文件 %1：%2")
                             .arg(QDir::toNativeSeparators(path), file.errorString()));
    }
    const QByteArray bytes = file.readAll();
    QImage image;
    switch (formatOfBytes(bytes)) {
    case PictureFormat::Jpeg:
        switch (decodeJpegInto(reinterpret_cast<const unsigned char *>(bytes.constData()),
                               static_cast<unsigned long>(bytes.size()), &image)) {
        case JpegDecode::Done:
            break;
        case JpegDecode::Failed:
            image = QImage();
            break;
        case JpegDecode::NotSupported:
            image.loadFromData(bytes, "JPEG");
            break;
        }
        break;
    case PictureFormat::Bitmap:
        image.loadFromData(bytes, "BMP");
        break;
    case PictureFormat::Png:
        image.loadFromData(bytes, "PNG");
        break;
    case PictureFormat::Missing:
    case PictureFormat::Other:
        image.loadFromData(bytes);
        break;
    }
    if (image.isNull())
        throw PhotoError(
            kInvalidPicture,
            QStringLiteral("文件 %1 不是可以读取的图片。").arg(QDir::toNativeSeparators(path)));
    return image;
}

QByteArray encodeBitmap(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_BGR888);
    const int width = image.width();
    const int height = image.height();
    const qsizetype rowBytes = (qsizetype(width) * 3 + 3) & ~qsizetype(3);
    constexpr int kHeaderBytes = 14 + 40;
    const qsizetype pixelBytes = rowBytes * height;
    QByteArray bytes(kHeaderBytes + pixelBytes, '\0');
    char *out = bytes.data();
    out[0] = 'B';
    out[1] = 'M';
    putLe32(out + 2, quint32(kHeaderBytes + pixelBytes));
    putLe32(out + 10, kHeaderBytes);
    putLe32(out + 14, 40);
    putLe32(out + 18, quint32(width));
    putLe32(out + 22, quint32(height)); // positive: rows bottom-up, as every reader expects
    putLe16(out + 26, 1);
    putLe16(out + 28, 24);
    putLe32(out + 30, 0); // uncompressed
    putLe32(out + 34, quint32(pixelBytes));
    putLe32(out + 38, quint32(image.dotsPerMeterX()));
    putLe32(out + 42, quint32(image.dotsPerMeterY()));
    for (int y = 0; y < height; ++y)
        std::memcpy(out + kHeaderBytes + rowBytes * (height - 1 - y), image.constScanLine(y),
                    std::size_t(width) * 3);
    return bytes;
}

void SaveBitmap(const QImage &image, const QString &path)
{
    if (image.isNull())
        throw PhotoError(kNoPicture, QStringLiteral("没有可以保存的照片。"));
    QString reason;
    if (!writeFileAtomically(path, encodeBitmap(image), &reason))
        throw PhotoError(
            kPathAccessError,
            QStringLiteral("无法写入文件 %1：%2").arg(QDir::toNativeSeparators(path), reason));
}

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *reason)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (reason)
            *reason = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}

PictureInfo inspectPicture(const QString &path)
{
    PictureInfo info;
    const QImage image = LoadPicture(path);
    info.width = image.width();
    info.height = image.height();
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = file.readAll();
        info.bytes = bytes.size();
        info.format = formatOfBytes(bytes);
        if (info.format == PictureFormat::Jpeg) {
            JpegDensity density;
            if (readJpegDensity(reinterpret_cast<const unsigned char *>(bytes.constData()),
                                static_cast<unsigned long>(bytes.size()), &density)) {
                info.dpiX = dpiFromDensity(density.unit, density.x);
                info.dpiY = dpiFromDensity(density.unit, density.y);
            }
        } else if (info.format == PictureFormat::Bitmap && bytes.size() >= 46) {
            info.dpiX = int(std::lround(getLe32(bytes, 38) * 0.0254));
            info.dpiY = int(std::lround(getLe32(bytes, 42) * 0.0254));
        } else {
            info.dpiX = dotsPerInch(image);
            info.dpiY = int(std::lround(image.dotsPerMeterY() * 0.0254));
        }
    }
    return info;
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

int dotsPerInch(const QImage &image)
{
    return int(std::lround(image.dotsPerMeterX() * 0.0254));
}

void setDotsPerInch(QImage &image, int dpi)
{
    image.setDotsPerMeterX(int(std::lround(dpi * kInchesPerMetre)));
    image.setDotsPerMeterY(int(std::lround(dpi * kInchesPerMetre)));
}

} // namespace photo
