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

// Resolution in dots per inch, rounded; 0 when the image carries none.
int dotsPerInch(const QImage &image);
void setDotsPerInch(QImage &image, int dpi);

} // namespace photo
