// Windows bitmaps in memory: the capture's form on disk (the backup, and the photo when the DPI
// step is off) and the reader for the uncompressed bitmaps that cameras and tools write.
#pragma once

#include "photo/BgrImage.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace lumo::photo {

// The image as a 24-bit uncompressed bitmap file: BITMAPINFOHEADER, bottom-up rows, the
// image's resolution in the header.
QByteArray encodeBitmap(const BgrImage &image);

struct BitmapHeader
{
    int width = 0;
    int height = 0;       // rows, whatever their order
    bool topDown = false; // a negative height in the file
    int bitsPerPixel = 0;
    int compression = 0;   // 0 none, 3 bit fields
    int dotsPerMeterX = 0; // as the file records it, 0 = none
    int dotsPerMeterY = 0;
    qint64 pixelOffset = 0;
};

// The file and information headers; false with *error when the bytes are not a bitmap.
bool readBitmapHeader(QByteArrayView bytes, BitmapHeader *header, QString *error);

// Uncompressed 24- and 32-bit bitmaps, rows top-down or bottom-up. Anything else, a truncated
// file, or a picture larger than BgrImage's limits or kMaxDecodingBytes (checked before any
// pixel memory is taken) gives an empty image and *error.
BgrImage decodeBitmap(QByteArrayView bytes, QString *error);

// What decodeBitmap checks, without taking memory for the pixels.
bool verifyBitmap(QByteArrayView bytes, QString *error);

} // namespace lumo::photo
