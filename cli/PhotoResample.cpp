// "lumo-cli photo resample": the DPI step's resampler alone, written without loss.
#include "cli/PhotoCommandParts.h"

#include "common/AtomicFile.h"
#include "photo/BitmapCodec.h"
#include "photo/PictureFile.h"
#include "photo/RegistryPhoto.h"
#include "photo/Resampler.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <zlib.h>

#include <cstdio>

using namespace lumo::photo;

namespace lumo::cli {

namespace {

const char *const kResampleUsage =
    "usage: lumo-cli photo resample IN OUT [--size WxH]\n"
    "\n"
    "Resamples the picture IN with the bilinear resampler of the DPI step to 260 x 320 pixels\n"
    "(or WxH) and writes it without loss to OUT, a bitmap for .bmp or a PNG for .png.\n"
    "\n"
    "Exit status: 0 on success, 1 when IN cannot be read or OUT cannot be written, 2 for wrong\n"
    "arguments.\n";

void appendBigEndian32(QByteArray &bytes, quint32 value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.append(char((value >> shift) & 0xFF));
}

// A PNG of the image: 8-bit RGB rows without filtering, compressed by zlib in one IDAT chunk.
// Empty when zlib fails.
QByteArray encodePng(const BgrImage &image)
{
    const qsizetype rowBytes = 1 + qsizetype(image.width()) * 3;
    QByteArray rows(rowBytes * image.height(), Qt::Uninitialized);
    for (int y = 0; y < image.height(); ++y) {
        char *out = rows.data() + rowBytes * y;
        *out++ = 0; // filter type: none
        const std::uint8_t *in = image.row(y);
        for (int x = 0; x < image.width(); ++x, in += 3) {
            *out++ = char(in[2]);
            *out++ = char(in[1]);
            *out++ = char(in[0]);
        }
    }
    uLongf packedSize = compressBound(uLong(rows.size()));
    QByteArray packed(qsizetype(packedSize), Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef *>(packed.data()), &packedSize,
                  reinterpret_cast<const Bytef *>(rows.constData()), uLong(rows.size()),
                  Z_DEFAULT_COMPRESSION) != Z_OK)
        return {};
    packed.truncate(qsizetype(packedSize));

    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    const auto chunk = [&png](const char *type, const QByteArray &data) {
        appendBigEndian32(png, quint32(data.size()));
        const qsizetype start = png.size();
        png.append(type, 4).append(data);
        appendBigEndian32(png,
                          quint32(crc32(0, reinterpret_cast<const Bytef *>(png.constData()) + start,
                                        uInt(png.size() - start))));
    };
    QByteArray header;
    appendBigEndian32(header, quint32(image.width()));
    appendBigEndian32(header, quint32(image.height()));
    header.append("\x08\x02\x00\x00\x00", 5); // 8 bits, RGB, deflate, no filter, not interlaced
    chunk("IHDR", header);
    chunk("IDAT", packed);
    chunk("IEND", QByteArray());
    return png;
}

} // namespace

int resamplePhoto(const QStringList &arguments)
{
    if (wantsHelp(arguments)) {
        std::fputs(kResampleUsage, stdout);
        return kOk;
    }
    int width = kPhotoWidth;
    int height = kPhotoHeight;
    QStringList paths;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == u"--size") {
            if (i + 1 >= arguments.size())
                return usageError(kResampleUsage, QStringLiteral("--size needs WxH"));
            static const QRegularExpression pattern(QStringLiteral("^(\\d{1,5})[xX](\\d{1,5})$"));
            const QRegularExpressionMatch match = pattern.match(arguments[++i]);
            width = match.hasMatch() ? match.captured(1).toInt() : 0;
            height = match.hasMatch() ? match.captured(2).toInt() : 0;
            if (width < 1 || height < 1 || width > kMaxResampleSide || height > kMaxResampleSide)
                return usageError(
                    kResampleUsage,
                    QStringLiteral("bad size %1 (WxH, 1 to 32767 each)").arg(arguments[i]));
        } else if (arguments[i].startsWith(u"--")) {
            return usageError(kResampleUsage,
                              QStringLiteral("unknown option %1").arg(arguments[i]));
        } else {
            paths << arguments[i];
        }
    }
    if (paths.size() != 2)
        return usageError(kResampleUsage, QStringLiteral("IN and OUT are needed"));
    const QString &in = paths[0];
    const QString &out = paths[1];
    const QString suffix = QFileInfo(out).suffix().toLower();
    if (suffix != u"bmp" && suffix != u"png")
        return usageError(kResampleUsage, QStringLiteral("OUT must end in .bmp or .png"));

    QString reason;
    const BgrImage source = readPictureFile(in, &reason);
    if (source.isEmpty()) {
        printFailure(in, reason);
        return kFailed;
    }
    if (!canResample(source)) {
        printFailure(in, QStringLiteral("错误的图像文件"));
        return kFailed;
    }
    const BgrImage target = lumo::photo::resample(source, width, height);
    if (target.isEmpty()) {
        printFailure(in,
                     BgrImage::fitsLimits(width, height)
                         ? QStringLiteral("not enough memory for %1 x %2 px").arg(width).arg(height)
                         : QStringLiteral("%1 x %2 px is more than %3 pixels")
                               .arg(width)
                               .arg(height)
                               .arg(BgrImage::kMaxPixels));
        return kFailed;
    }
    const QByteArray bytes = suffix == u"bmp" ? encodeBitmap(target) : encodePng(target);
    if (bytes.isEmpty() || !lumo::common::writeFileAtomically(out, bytes, &reason)) {
        printFailure(out, reason.isEmpty() ? QStringLiteral("cannot write") : reason);
        return kFailed;
    }
    return kOk;
}

} // namespace lumo::cli
