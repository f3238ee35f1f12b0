#include "photo/JpegWriter.h"

#include "photo/JpegErrorManager.h"
#include "photo/PhotoError.h"
#include "photo/PictureFile.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace photo {

namespace {

struct EncodeRequest
{
    const unsigned char *pixels;
    qsizetype bytesPerLine;
    unsigned width;
    unsigned height;
    int quality;
    int densityUnit;
    unsigned densityX;
    unsigned densityY;
};

// No C++ object with a destructor lives in this frame across the jump back from libjpeg.
JpegStatus encodeInto(const EncodeRequest &request, unsigned char **buffer, unsigned long *size)
{
    jpeg_compress_struct info;
    detail::JpegErrorManager errors;
    info.err = detail::installJpegErrorManager(errors);
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&info);
        return JpegStatus::GenericError;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, buffer, size);
    info.image_width = request.width;
    info.image_height = request.height;
    info.input_components = 3;
    info.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, request.quality, TRUE);
    info.write_JFIF_header = TRUE;
    info.density_unit = UINT8(request.densityUnit);
    info.X_density = UINT16(request.densityX);
    info.Y_density = UINT16(request.densityY);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        auto *row =
            const_cast<JSAMPROW>(request.pixels + request.bytesPerLine * info.next_scanline);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return JpegStatus::Ok;
}

unsigned densityValue(double dotsPerInch)
{
    return unsigned(std::clamp(std::lround(dotsPerInch), 1L, 65535L));
}

JpegStatus writeJpeg(const QImage &picture, const QString &fileName, int quality, double resolution)
{
    QByteArray bytes;
    const JpegStatus status = encodeJpeg(picture, quality, resolution, &bytes);
    if (status != JpegStatus::Ok)
        return status;
    return writeFileAtomically(fileName, bytes) ? JpegStatus::Ok : JpegStatus::Win32Error;
}

} // namespace

JpegStatus encodeJpeg(const QImage &image, int quality, double dotsPerInch, QByteArray *out)
{
    if (image.isNull() || image.width() > 65500 || image.height() > 65500)
        return JpegStatus::InvalidParameter;
    const QImage pixels = image.format() == QImage::Format_BGR888
                              ? image
                              : image.convertToFormat(QImage::Format_BGR888);
    if (pixels.isNull())
        return JpegStatus::OutOfMemory;

    EncodeRequest request{pixels.constBits(),
                          pixels.bytesPerLine(),
                          unsigned(pixels.width()),
                          unsigned(pixels.height()),
                          std::clamp(quality, 0, 100),
                          0,
                          1,
                          1};
    const double resolution = dotsPerInch > 0 ? dotsPerInch : image.dotsPerMeterX() * 0.0254;
    if (resolution > 0) {
        const double vertical = dotsPerInch > 0 ? dotsPerInch : image.dotsPerMeterY() * 0.0254;
        request.densityUnit = 1;
        request.densityX = densityValue(resolution);
        request.densityY = densityValue(vertical);
    }

    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    const JpegStatus status = encodeInto(request, &buffer, &size);
    if (status == JpegStatus::Ok)
        *out = QByteArray(reinterpret_cast<const char *>(buffer), qsizetype(size));
    std::free(buffer);
    return status;
}

void Savejpg(const QImage &picture, const QString &fileName, std::uint8_t quality, float resolution)
{
    const JpegStatus status =
        writeJpeg(picture, fileName, quality, resolution > 0 ? resolution : 0);
    if (status != JpegStatus::Ok)
        throw PhotoError(kCannotSaveJpeg, QStringLiteral("Cannot save the image. GDI+ Error:") +
                                              QString::number(int(status)));
}

bool SaveJpgQuality(const QImage &picture, const QString &fileName, std::int32_t quality)
{
    return writeJpeg(picture, fileName, quality, 0) == JpegStatus::Ok;
}

CompressResult CompressJpg(const QString &path)
{
    CompressResult result;
    const QFileInfo file(path);
    if (!file.exists())
        throw PhotoError(kFileNotFound,
                         QStringLiteral("找不到文件 %1。").arg(QDir::toNativeSeparators(path)));
    if (file.size() < kCompressEntryBytes)
        return result;
    for (int pass = 1; pass <= kCompressPasses; ++pass) {
        result.lastPicture = LoadPicture(path);
        SaveJpgQuality(result.lastPicture, path, kCompressQuality);
        result.passes = pass;
        if (QFileInfo(path).size() <= kCompressTargetBytes)
            break;
    }
    return result;
}

} // namespace photo
