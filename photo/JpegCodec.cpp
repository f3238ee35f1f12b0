#include "photo/JpegCodec.h"

#include "photo/JpegErrorManager.h"
#include "photo/PictureSizeLimit.h"

#include <jerror.h>

#include <algorithm>
#include <cmath>
#include <new>
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
    bool optimiseCoding;
};

// The encoder writes straight into a byte array, first as long as half the pixels' bytes (more
// than a photo's JPEG takes), then doubled: libjpeg's own memory destination would hold the file
// twice at its end, and many small steps would leave freed memory behind.
struct ByteArrayDestination
{
    jpeg_destination_mgr manager;
    QByteArray *bytes;
    qsizetype firstSize;
};

bool growDestination(j_compress_ptr info)
{
    auto *destination = reinterpret_cast<ByteArrayDestination *>(info->dest);
    QByteArray &bytes = *destination->bytes;
    const qsizetype used = bytes.size(); // libjpeg hands the buffer back full
    const qsizetype size =
        std::min(used == 0 ? destination->firstSize : used * 2, kMaxEncodedBytes);
    if (size <= used)
        return false;
    try {
        bytes.resize(size);
    } catch (const std::bad_alloc &) {
        return false;
    }
    info->dest->next_output_byte = reinterpret_cast<JOCTET *>(bytes.data()) + used;
    info->dest->free_in_buffer = std::size_t(size - used);
    return true;
}

void startDestination(j_compress_ptr info)
{
    reinterpret_cast<ByteArrayDestination *>(info->dest)->bytes->clear();
    if (!growDestination(info))
        ERREXIT1(info, JERR_OUT_OF_MEMORY, 0);
}

boolean emptyDestination(j_compress_ptr info)
{
    if (!growDestination(info))
        ERREXIT1(info, JERR_OUT_OF_MEMORY, 1);
    return TRUE;
}

void endDestination(j_compress_ptr info)
{
    QByteArray &bytes = *reinterpret_cast<ByteArrayDestination *>(info->dest)->bytes;
    bytes.truncate(bytes.size() - qsizetype(info->dest->free_in_buffer));
}

// No C++ object with a destructor lives in this frame across the jump back from libjpeg.
JpegStatus encodeInto(const EncodeRequest &request, QByteArray *out)
{
    jpeg_compress_struct info;
    detail::JpegErrorManager errors;
    const qsizetype firstSize = qsizetype(request.width) * request.height * 3 / 2 + 65536;
    ByteArrayDestination destination{{}, out, firstSize};
    destination.manager.init_destination = startDestination;
    destination.manager.empty_output_buffer = emptyDestination;
    destination.manager.term_destination = endDestination;
    info.err = detail::installJpegErrorManager(errors);
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&info);
        return errors.manager.msg_code == JERR_OUT_OF_MEMORY ? JpegStatus::OutOfMemory
                                                             : JpegStatus::GenericError;
    }
    jpeg_create_compress(&info);
    info.dest = &destination.manager;
    info.image_width = request.width;
    info.image_height = request.height;
    info.input_components = 3;
    info.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, request.quality, TRUE);
    info.optimize_coding = request.optimiseCoding ? TRUE : FALSE;
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

qint64 coefficientBytes(const jpeg_decompress_struct &info)
{
    if (!info.progressive_mode && info.comps_in_scan >= info.num_components)
        return 0;
    const auto roundedUp = [](qint64 value, qint64 step) {
        return (value + step - 1) / step * step;
    };
    qint64 total = 0;
    for (int c = 0; c < info.num_components; ++c) {
        const jpeg_component_info &component = info.comp_info[c];
        total += roundedUp(component.width_in_blocks, component.h_samp_factor) *
                 roundedUp(component.height_in_blocks, component.v_samp_factor) *
                 qint64(sizeof(JBLOCK));
    }
    return total;
}

enum class Decode { Header, Verify, Pixels };

// Reads the header and, beyond Decode::Header, every scan: for Decode::Pixels straight into
// blue-green-red rows. No C++ object with a destructor lives in this frame across the jump back
// from libjpeg.
bool decodeInto(QByteArrayView bytes, Decode decode, JpegHeader *header, BgrImage *image,
                QString *error)
{
    jpeg_decompress_struct info;
    detail::JpegErrorManager errors;
    info.err = detail::installJpegErrorManager(errors);
    if (setjmp(errors.jump)) {
        const int code = errors.manager.msg_code;
        jpeg_destroy_decompress(&info);
        *error = code == JERR_NO_BACKING_STORE || code == JERR_OUT_OF_MEMORY
                     ? detail::decodingMemoryText()
                     : libjpegReason(errors);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(bytes.data()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    *header = {int(info.image_width), int(info.image_height), 0, 0, 0, coefficientBytes(info)};
    if (info.saw_JFIF_marker)
        *header = {header->width,  header->height, info.density_unit,
                   info.X_density, info.Y_density, header->coefficientBytes};
    if (decode == Decode::Header) {
        jpeg_destroy_decompress(&info);
        return true;
    }
    // The pixels, the file and libjpeg's own memory together: libjpeg refuses to go beyond what
    // is left for it, before it takes the memory.
    const qint64 pixelBytes =
        decode == Decode::Pixels
            ? qint64(BgrImage::strideFor(int(info.image_width))) * info.image_height
            : 0;
    *error = detail::pictureSizeProblem(info.image_width, info.image_height);
    if (error->isEmpty())
        *error =
            detail::decodingMemoryProblem(bytes.size() + pixelBytes + header->coefficientBytes);
    if (!error->isEmpty()) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.mem->max_memory_to_use = long(kMaxDecodingBytes - bytes.size() - pixelBytes);
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
    jpeg_start_decompress(&info);
    const unsigned height = info.output_height;
    if (decode == Decode::Pixels)
        *image = BgrImage(int(info.output_width), int(height));
    if (decode == Decode::Pixels && image->isEmpty()) {
        jpeg_destroy_decompress(&info);
        *error = QStringLiteral("内存不足");
        return false;
    }
    if (cmyk || decode == Decode::Verify) {
        JSAMPARRAY scratch =
            (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                      info.output_width * unsigned(info.output_components), 1);
        while (info.output_scanline < height) {
            const unsigned y = info.output_scanline;
            jpeg_read_scanlines(&info, scratch, 1);
            if (decode == Decode::Pixels)
                cmykRowToBgr(scratch[0], image->row(int(y)), info.output_width);
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
    if (errors.damage[0] != '\0') {
        *error =
            QStringLiteral("JPEG 数据不完整或已损坏（%1）").arg(QString::fromLatin1(errors.damage));
        return false;
    }
    return true;
}

} // namespace

QString jpegFailureText(JpegStatus status)
{
    return QStringLiteral("Cannot save the image. GDI+ Error:") + QString::number(int(status));
}

QString writeFailureText(const QString &reason)
{
    return jpegFailureText(JpegStatus::WriteFailed) + u' ' + reason;
}

JpegStatus encodeJpeg(const BgrImage &image, int quality, double dotsPerInch, QByteArray *out)
{
    return encodeJpeg(image, quality, dotsPerInch, JpegCoding::Standard, out);
}

JpegStatus encodeJpeg(const BgrImage &image, int quality, double dotsPerInch, JpegCoding coding,
                      QByteArray *out)
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
                          1,
                          coding == JpegCoding::OptimisedHuffman};
    const double resolution = dotsPerInch > 0 ? dotsPerInch : image.dotsPerMeterX() * 0.0254;
    if (resolution > 0) {
        const double vertical = dotsPerInch > 0 ? dotsPerInch : image.dotsPerMeterY() * 0.0254;
        request.densityUnit = 1;
        request.densityX = densityValue(resolution);
        request.densityY = densityValue(vertical);
    }

    QByteArray bytes;
    const JpegStatus status = encodeInto(request, &bytes);
    if (status == JpegStatus::Ok) {
        bytes.squeeze();
        *out = std::move(bytes);
    }
    return status;
}

bool readJpegHeader(QByteArrayView bytes, JpegHeader *header, QString *error)
{
    QString reason;
    if (decodeInto(bytes, Decode::Header, header, nullptr, &reason))
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
    if (!decodeInto(bytes, Decode::Pixels, &header, &image, &reason)) {
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

bool verifyJpeg(QByteArrayView bytes, QString *error)
{
    JpegHeader header;
    QString reason;
    if (decodeInto(bytes, Decode::Verify, &header, nullptr, &reason))
        return true;
    if (error)
        *error = reason;
    return false;
}

} // namespace lumo::photo
