// Picture files: the format told by the content, not the name; whole files read into memory
// and decoded there; what a photo file is, from its headers alone.
#pragma once

#include "photo/BgrImage.h"
#include "photo/PictureSizeLimit.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace lumo::photo {

enum class PictureFormat { Missing, Jpeg, Bitmap, Png, Other };

// What the first bytes say the content is.
PictureFormat pictureFormatOf(QByteArrayView bytes);
const char *formatName(PictureFormat format);

// The whole file. False with *error ("找不到文件 …" or "无法读取文件 …") when it cannot be read,
// is no regular file, or is longer than kMaxDecodingBytes, which no picture decode could hold.
bool readFileBytes(const QString &path, QByteArray *bytes, QString *error);

// A JPEG or an uncompressed 24- or 32-bit bitmap, told by its content. An empty image and
// *error saying why for anything else.
BgrImage decodePicture(QByteArrayView bytes, QString *error);

// What decodePicture checks, and every scan of a JPEG decoded, without keeping the pixels.
bool verifyPicture(QByteArrayView bytes, QString *error);

// readFileBytes and decodePicture; the error names the file.
BgrImage readPictureFile(const QString &path, QString *error);

// A photo file's format, pixel size, resolution in dots per inch (0 when none) and length.
struct PictureInfo
{
    PictureFormat format = PictureFormat::Missing;
    int width = 0;
    int height = 0;
    int dpiX = 0;
    int dpiY = 0;
    qint64 bytes = 0;
    qint64 decodingBytes = 0; // what decodePicture takes beside the file: pixels and buffers
};

// From the headers only; false with *error when the bytes are neither a JPEG nor a bitmap.
bool inspectPicture(QByteArrayView bytes, PictureInfo *info, QString *error);

// Dots per metre to whole dots per inch, rounded.
int dotsPerInchOf(int dotsPerMeter);

} // namespace lumo::photo
