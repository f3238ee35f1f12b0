// The registry photo made in memory from a capture: the DPI step (260 x 320 pixels, a JPEG at
// 254 dots per inch) and the size step (re-encoding towards at most 60000 bytes), as the
// operator's switches say. The bytes are those of the file the save writes.
#pragma once

#include "photo/BgrImage.h"

#include <QByteArray>
#include <QStringList>

namespace lumo::photo {

inline constexpr int kPhotoWidth = 260;
inline constexpr int kPhotoHeight = 320;
inline constexpr int kPhotoDpi = 254;
// Above the scale: the encoder clamps it to its best, 100.
inline constexpr int kDpiStepQuality = 255;

// The size step: a photo of at least the entry size is re-encoded at quality 80, keeping its
// resolution, until it is at most the target size, five times at most.
inline constexpr qsizetype kCompressEntryBytes = 55000;
inline constexpr qsizetype kCompressTargetBytes = 60000;
inline constexpr int kCompressPasses = 5;
inline constexpr int kCompressQuality = 80;

struct RegistryPhoto
{
    QByteArray bytes;            // the photo file; empty when it could not be made
    QStringList messages;        // for the operator, in order: "错误的图像文件", a failure
    bool dpiStepSkipped = false; // the capture could not be resampled: the photo is a bitmap
    int sizeStepPasses = 0;

    bool isMade() const { return !bytes.isEmpty(); }
};

// How the DPI step encodes. Registry: quality 100, then the size step, as always. Best: the
// highest quality whose file (optimised Huffman tables) is at most kCompressTargetBytes; the
// size step then has nothing left to do and is left out.
enum class Quality { Registry, Best };

// Best's search: the highest JPEG quality whose file is at most maxBytes, found by bisection;
// *out is left as it was and false returned when even quality 1 is too long or encoding fails.
bool encodeBestJpeg(const BgrImage &image, double dotsPerInch, qsizetype maxBytes, QByteArray *out,
                    int *quality = nullptr);

// The DPI step (or, when it is off or the capture cannot be resampled, the capture as a bitmap)
// followed by the size step when it is on.
RegistryPhoto makeRegistryPhoto(const BgrImage &capture, bool adjustDpi, bool compress,
                                Quality quality = Quality::Registry);

// The size step alone, on a photo file's bytes (a JPEG, or a bitmap that it turns into one).
RegistryPhoto compressRegistryPhoto(QByteArray bytes);

} // namespace lumo::photo
