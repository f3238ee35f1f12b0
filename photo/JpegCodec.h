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

// Encodes the image as a baseline JFIF JPEG. quality is clamped to 0..100. With dotsPerInch
// above 0 the density fields say that many dots per inch; otherwise they carry the image's own
// resolution (none when it has none). The bytes go to *out.
JpegStatus encodeJpeg(const BgrImage &image, int quality, double dotsPerInch, QByteArray *out);

struct JpegHeader
{
    int width = 0;
    int height = 0;
    int densityUnit = 0; // 0 none (an aspect ratio only), 1 dots per inch, 2 dots per cm
    int densityX = 0;
    int densityY = 0;
};

// The frame header and the JFIF density; false with *error when the bytes are not a JPEG.
bool readJpegHeader(QByteArrayView bytes, JpegHeader *header, QString *error);

// The pixels as blue-green-red rows, the JFIF density as the resolution. An empty image and
// *error when the bytes cannot be decoded or the picture is larger than BgrImage's limits
// (checked before any pixel memory is taken).
BgrImage decodeJpeg(QByteArrayView bytes, QString *error);

} // namespace lumo::photo
