#include "photo/DpiStep.h"

#include "photo/JpegWriter.h"
#include "photo/PhotoError.h"
#include "photo/PictureFile.h"
#include "photo/ResizeImage.h"
#include "platform/Dialogs.h"

namespace photo {

bool DpiStep::AdjustDpi(const QString &sourcePath, const QString &targetPath)
{
    SrcImage.DisposeResource();
    DstImage.DisposeResource();
    m_loadedPicture = LoadPicture(sourcePath);

    Cimage loaded;
    if (!loaded.LoadPicture(m_loadedPicture)) {
        m_dialogs.message(QStringLiteral("错误的图像文件"));
        return false;
    }
    SrcImage = std::move(loaded);

    // Without a fresh 260 x 320 image nothing may be written: whatever an earlier run left
    // behind belongs to another student.
    if (!ResizePhoto())
        throw PhotoError(kResampleFailed,
                         QStringLiteral("无法把照片调整为 %1 × %2 像素（内存不足），照片没有调整。")
                             .arg(kPhotoWidth)
                             .arg(kPhotoHeight));
    Savejpg(DstImage.toImage(), targetPath, kDpiStepQuality, kPhotoDpi);
    return true;
}

bool DpiStep::ResizePhoto()
{
    DstImage = ResizeImage(SrcImage, kPhotoWidth, kPhotoHeight);
    return !DstImage.isEmpty();
}

} // namespace photo
