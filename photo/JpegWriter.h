// The JPEG writer and the size step that keeps photo files small.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstdint>

namespace photo {

// Status numbers of a failed JPEG write, as the operator's error text has always shown them.
enum class JpegStatus : int {
    Ok = 0,
    GenericError = 1,
    InvalidParameter = 2,
    OutOfMemory = 3,
    Win32Error = 7,
};

// Encodes the image as a baseline JFIF JPEG. quality is clamped to 0..100. With dotsPerInch
// above 0 the density fields say that many dots per inch; otherwise they carry the image's own
// resolution. Returns the status; the bytes go to *out.
JpegStatus encodeJpeg(const QImage &image, int quality, double dotsPerInch, QByteArray *out);

// Writes the image as JPEG, replacing the file. Throws PhotoError number 5, "Cannot save the
// image. GDI+ Error:" directly followed by the status, when anything fails.
void Savejpg(const QImage &picture, const QString &fileName, std::uint8_t quality,
             float resolution);

// Writes the image as JPEG at the given quality without setting a resolution; false on failure,
// the file then keeps its old content.
bool SaveJpgQuality(const QImage &picture, const QString &fileName, std::int32_t quality);

// Size step constants.
inline constexpr qint64 kCompressEntryBytes = 55000;
inline constexpr qint64 kCompressTargetBytes = 60000;
inline constexpr int kCompressPasses = 5;
inline constexpr int kCompressQuality = 80;

struct CompressResult
{
    int passes = 0;     // re-encodings made
    QImage lastPicture; // the picture loaded by the last pass (null when none was made)
};

// Re-encodes the photo file at quality 80 until it is at most 60000 bytes, at most five times;
// a file shorter than 55000 bytes is left alone. Each pass decodes the file as it now stands.
// Throws PhotoError when the file is missing or is not a picture.
CompressResult CompressJpg(const QString &path);

} // namespace photo
