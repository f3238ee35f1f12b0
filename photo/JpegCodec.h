// JPEG in memory through libjpeg-turbo: the registry photo's encoder, with the quality and the
// JFIF density the registry reads, and the decoder the size step and the readers use.
#pragma once

#include "photo/BgrImage.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace lumo::photo {

// Status numbers of a failed JPEG write, as the operator's error text has always shown them.
enum class JpegStatus : int {
    Ok = 0,
    GenericError = 1,
    InvalidParameter = 2,
    OutOfMemory = 3,
    WriteFailed = 7,
};

// "Cannot save the image. GDI+ Error:" directly followed by the status number.
QString jpegFailureText(JpegStatus status);
// The text of JpegStatus::WriteFailed that the operator knows, followed by the system's reason.
QString writeFailureText(const QString &reason);

// The longest JPEG made: a 50-megapixel picture of noise at the size step's quality is about
// 30 MB, a registry photo at most 60000 bytes. A longer one fails as OutOfMemory.
inline constexpr qsizetype kMaxEncodedBytes = qsizetype(32) << 20;

// Encodes the image as a baseline JFIF JPEG. quality is clamped to 0..100. With dotsPerInch
// above 0 the density fields say that many dots per inch; otherwise they carry the image's own
// resolution (none when it has none). The bytes go to *out, which is left as it was on failure.
JpegStatus encodeJpeg(const BgrImage &image, int quality, double dotsPerInch, QByteArray *out);

// Standard: libjpeg's default Huffman tables, as every photo so far. OptimisedHuffman: tables
// made for the picture, a file about 5 % smaller for the same pixels, at twice the time.
enum class JpegCoding { Standard, OptimisedHuffman };
// encodeJpeg with the coding chosen; chroma is halved both ways (4:2:0) either way.
JpegStatus encodeJpeg(const BgrImage &image, int quality, double dotsPerInch, JpegCoding coding,
                      QByteArray *out);

struct JpegHeader
{
    int width = 0;
    int height = 0;
    int densityUnit = 0; // 0 none (an aspect ratio only), 1 dots per inch, 2 dots per cm
    int densityX = 0;
    int densityY = 0;
    // libjpeg's buffer for every coefficient of the picture, which it keeps for a JPEG in
    // several scans (progressive, or a component a scan); 0 for a single scan.
    qint64 coefficientBytes = 0;
};

// The frame header and the JFIF density; false with *error when the bytes are not a JPEG.
bool readJpegHeader(QByteArrayView bytes, JpegHeader *header, QString *error);

// The pixels as blue-green-red rows, the JFIF density as the resolution. An empty image and
// *error when the bytes cannot be decoded, when data is missing or corrupt (libjpeg would paint
// it grey), or when the picture is larger than BgrImage's limits or kMaxDecodingBytes (both
// checked before any pixel memory is taken).
BgrImage decodeJpeg(QByteArrayView bytes, QString *error);

// Decodes every scan as decodeJpeg does, without keeping the pixels: false with *error when
// decodeJpeg would fail for anything but the memory for the pixels.
bool verifyJpeg(QByteArrayView bytes, QString *error);

} // namespace lumo::photo
