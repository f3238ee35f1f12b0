// "lumo-cli photo resample": the DPI step's resampler alone, written without loss.
#include "cli/CommandLine.h"
#include "cli/Messages.h"
#include "cli/PhotoCommandHelpers.h"
#include "cli/UsageTexts.h"

#include "common/AtomicFile.h"
#include "common/NativePath.h"
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
    CommandLine line(QStringLiteral("lumo-cli photo resample"), usage::kResample);
    const QCommandLineOption size(QStringLiteral("size"), QString(), QStringLiteral("WxH"));
    line.parser.addOption(size);
    if (const auto done = line.parse(arguments))
        return *done;
    int width = kPhotoWidth;
    int height = kPhotoHeight;
    if (line.parser.isSet(size)) {
        static const QRegularExpression pattern(QStringLiteral("^(\\d{1,5})[xX](\\d{1,5})$"));
        const QRegularExpressionMatch match = pattern.match(line.parser.value(size));
        width = match.hasMatch() ? match.captured(1).toInt() : 0;
        height = match.hasMatch() ? match.captured(2).toInt() : 0;
        if (width < 1 || height < 1 || width > kMaxResampleSide || height > kMaxResampleSide)
            return line.usageError(text(msg::kBadSize).arg(line.parser.value(size)));
    }
    const QStringList paths = line.positional();
    if (paths.size() != 2)
        return line.usageError(text(msg::kInAndOut));
    const QString &in = paths[0];
    const QString &out = paths[1];
    const QString suffix = QFileInfo(out).suffix().toLower();
    if (suffix != u"bmp" && suffix != u"png")
        return line.usageError(text(msg::kOutSuffix));
    if (common::pathKind(in) == common::PathKind::Missing)
        return line.usageError(text(msg::kDoesNotExist).arg(shown(in)));

    QString reason;
    const BgrImage source = readPictureFile(in, &reason);
    if (source.isEmpty()) {
        printFailure(in, reason);
        return kNegative;
    }
    if (!canResample(source)) {
        printLine(stderr, text(msg::kTooWideToResample).arg(shown(in)));
        return kNegative;
    }
    const BgrImage target = lumo::photo::resample(source, width, height);
    if (target.isEmpty()) {
        printFailure(
            in, BgrImage::fitsLimits(width, height)
                    ? text(msg::kTargetNoMemory).arg(width).arg(height)
                    : text(msg::kTargetTooLarge).arg(width).arg(height).arg(BgrImage::kMaxPixels));
        return kNegative;
    }
    const QByteArray bytes = suffix == u"bmp" ? encodeBitmap(target) : encodePng(target);
    if (bytes.isEmpty() || !lumo::common::writeFileAtomically(out, bytes, &reason)) {
        printFailure(out, reason.isEmpty() ? text(msg::kCannotWrite) : reason);
        return kNegative;
    }
    return kSuccess;
}

} // namespace lumo::cli
