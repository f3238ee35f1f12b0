#include "photo/JpegCodec.h"

#include "photo/JpegErrorManager.h"
#include "photo/PictureSizeLimit.h"

#include <jerror.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace lumo::photo {

namespace {

constexpr double kInchesPerMetre = 1.0 / 0.0254;
// libjpeg's own limit on either side.
constexpr int kMaxJpegSide = 65500;

struct EncodeRequest
{
    JSAMPROW *rows;
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
        return errors.manager.msg_code == JERR_OUT_OF_MEMORY ? JpegStatus::OutOfMemory
                                                             : JpegStatus::GenericError;
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
    while (info.next_scanline < info.image_height)
        jpeg_write_scanlines(&info, request.rows + info.next_scanline,
                             info.image_height - info.next_scanline);
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return JpegStatus::Ok;
}

unsigned densityValue(double dotsPerInch)
{
    return unsigned(std::clamp(std::lround(dotsPerInch), 1L, 65535L));
}

QString libjpegReason(const detail::JpegErrorManager &errors)
{
    return QStringLiteral("JPEG 数据有误（%1）").arg(QString::fromLatin1(errors.message));
}

// Adobe's inverted CMYK, as Qt converts it.
void cmykRowToBgr(const JSAMPLE *cmyk, std::uint8_t *bgr, unsigned width)
{
    for (unsigned x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
        const int k = cmyk[3];
        bgr[0] = std::uint8_t(k * cmyk[2] / 255);
        bgr[1] = std::uint8_t(k * cmyk[1] / 255);
        bgr[2] = std::uint8_t(k * cmyk[0] / 255);
    }
}

// Reads the header and, unless image is null, decodes straight into blue-green-red rows. No C++
// object with a destructor lives in this frame across the jump back from libjpeg.
bool decodeInto(QByteArrayView bytes, JpegHeader *header, BgrImage *image, QString *error)
{
    jpeg_decompress_struct info;
    detail::JpegErrorManager errors;
    info.err = detail::installJpegErrorManager(errors);
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        *error = libjpegReason(errors);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(bytes.data()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    *header = {int(info.image_width), int(info.image_height), 0, 0, 0};
    if (info.saw_JFIF_marker)
        *header = {header->width, header->height, info.density_unit, info.X_density,
                   info.Y_density};
    if (!image) {
        jpeg_destroy_decompress(&info);
        return true;
    }
    *error = detail::pictureSizeProblem(info.image_width, info.image_height);
    if (!error->isEmpty()) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
    jpeg_start_decompress(&info);
    *image = BgrImage(int(info.output_width), int(info.output_height));
    if (image->isEmpty()) {
        jpeg_destroy_decompress(&info);
        *error = QStringLiteral("内存不足");
        return false;
    }
    const unsigned height = info.output_height;
    if (cmyk) {
        JSAMPARRAY scratch = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info),
                                                       JPOOL_IMAGE, info.output_width * 4, 1);
        while (info.output_scanline < height) {
            std::uint8_t *row = image->row(int(info.output_scanline));
            jpeg_read_scanlines(&info, scratch, 1);
            cmykRowToBgr(scratch[0], row, info.output_width);
        }
    } else {
        auto *rows = static_cast<JSAMPROW *>((*info.mem->alloc_small)(
            reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE, height * sizeof(JSAMPROW)));
        for (unsigned y = 0; y < height; ++y)
            rows[y] = image->row(int(y));
        while (info.output_scanline < height)
            jpeg_read_scanlines(&info, rows + info.output_scanline, height - info.output_scanline);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace

QString jpegFailureText(JpegStatus status)
{
    return QStringLiteral("Cannot save the image. GDI+ Error:") + QString::number(int(status));
}

JpegStatus encodeJpeg(const BgrImage &image, int quality, double dotsPerInch, QByteArray *out)
{
    if (image.isEmpty() || image.width() > kMaxJpegSide || image.height() > kMaxJpegSide)
        return JpegStatus::InvalidParameter;
    std::vector<JSAMPROW> rows(std::size_t(image.height()));
    for (int y = 0; y < image.height(); ++y)
        rows[std::size_t(y)] = const_cast<JSAMPROW>(image.row(y));

    EncodeRequest request{rows.data(),
                          unsigned(image.width()),
                          unsigned(image.height()),
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

bool readJpegHeader(QByteArrayView bytes, JpegHeader *header, QString *error)
{
    QString reason;
    if (decodeInto(bytes, header, nullptr, &reason))
        return true;
    if (error)
        *error = reason;
    return false;
}

BgrImage decodeJpeg(QByteArrayView bytes, QString *error)
{
    JpegHeader header;
    BgrImage image;
    QString reason;
    if (!decodeInto(bytes, &header, &image, &reason)) {
        if (error)
            *error = reason;
        return {};
    }
    if (header.densityUnit == 1 && header.densityX > 0 && header.densityY > 0)
        image.setDotsPerMeter(int(std::lround(header.densityX * kInchesPerMetre)),
                              int(std::lround(header.densityY * kInchesPerMetre)));
    else if (header.densityUnit == 2 && header.densityX > 0 && header.densityY > 0)
        image.setDotsPerMeter(header.densityX * 100, header.densityY * 100);
    return image;
}

} // namespace lumo::photo
