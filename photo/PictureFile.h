// Picture files: loading a Windows bitmap or a JPEG (the format told by the content, not the
// name) and writing an uncompressed Windows bitmap. Every write replaces the target atomically.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace photo {

enum class PictureFormat { Missing, Jpeg, Bitmap, Png, Other };

// What the first bytes of a file say it is; Missing when it cannot be read.
PictureFormat detectPictureFormat(const QString &path);

// The picture in the file. Throws PhotoError when the file is missing or is not a picture.
// The resolution recorded in the file becomes the image's dots per metre.
QImage LoadPicture(const QString &path);

// The image as a 24-bit uncompressed bitmap file (BITMAPINFOHEADER, bottom-up rows).
QByteArray encodeBitmap(const QImage &image);

// Writes the image as a bitmap file, replacing the target. Throws PhotoError on failure.
void SaveBitmap(const QImage &image, const QString &path);

// Writes the bytes to a temporary file beside the target, flushes it to disk and renames it
// over the target. On failure the target is left as it was and the reason is returned.
bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *reason = nullptr);

// What a photo file is: its format by content, pixel size, the resolution it records (0 when
// none) and its length. Throws PhotoError when it is missing or is not a picture.
struct PictureInfo
{
    PictureFormat format = PictureFormat::Missing;
    int width = 0;
    int height = 0;
    int dpiX = 0;
    int dpiY = 0;
    qint64 bytes = 0;
};
PictureInfo inspectPicture(const QString &path);

const char *formatName(PictureFormat format);

// Resolution in dots per inch, rounded; 0 when the image carries none.
int dotsPerInch(const QImage &image);
void setDotsPerInch(QImage &image, int dpi);

} // namespace photo
