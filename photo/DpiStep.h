// The DPI step: a photo file becomes a 260 x 320 pixel JPEG at 254 dots per inch.
#pragma once

#include "photo/Cimage.h"

#include <QImage>
#include <QString>

class Dialogs;

namespace photo {

inline constexpr int kPhotoWidth = 260;
inline constexpr int kPhotoHeight = 320;
inline constexpr float kPhotoDpi = 254.0f;
inline constexpr int kDpiStepQuality = 255;

class DpiStep
{
public:
    explicit DpiStep(Dialogs &dialogs) : m_dialogs(dialogs) {}

    // Loads the source, resamples it to 260 x 320 and writes it to the target as a 254-DPI JPEG.
    // Throws PhotoError when the source is missing or not a picture, when the 260 x 320 image
    // cannot be made, or when the JPEG cannot be written. A picture that loads but cannot become
    // a Cimage is told to the operator ("错误的图像文件") and nothing is written: false.
    bool AdjustDpi(const QString &sourcePath, const QString &targetPath);

    // Resamples SrcImage into DstImage; false when the 260 x 320 image cannot be made.
    bool ResizePhoto();

    // The picture as loaded, the resampled photo: what the scratch boxes show after a run.
    const QImage &loadedPicture() const { return m_loadedPicture; }
    QImage resampledPicture() const { return DstImage.toImage(); }

    Cimage SrcImage;
    Cimage DstImage;

private:
    Dialogs &m_dialogs;
    QImage m_loadedPicture;
};

} // namespace photo
