#include "photo/RegistryPhoto.h"

#include "photo/BitmapCodec.h"
#include "photo/JpegCodec.h"
#include "photo/PictureFile.h"
#include "photo/Resampler.h"

namespace lumo::photo {

namespace {

RegistryPhoto failure(RegistryPhoto photo, const QString &message)
{
    photo.bytes.clear();
    photo.messages << message;
    return photo;
}

} // namespace

RegistryPhoto compressRegistryPhoto(QByteArray bytes)
{
    RegistryPhoto photo;
    photo.bytes = std::move(bytes);
    if (photo.bytes.size() < kCompressEntryBytes)
        return photo;
    for (int pass = 1; pass <= kCompressPasses; ++pass) {
        QString reason;
        const BgrImage picture = decodePicture(photo.bytes, &reason);
        if (picture.isEmpty())
            return failure(std::move(photo), reason);
        // A failed encoding leaves the photo as it was, for the next pass to try again.
        QByteArray encoded;
        if (encodeJpeg(picture, kCompressQuality, 0, &encoded) == JpegStatus::Ok)
            photo.bytes = std::move(encoded);
        photo.sizeStepPasses = pass;
        if (photo.bytes.size() <= kCompressTargetBytes)
            break;
    }
    return photo;
}

bool encodeBestJpeg(const BgrImage &image, double dotsPerInch, qsizetype maxBytes, QByteArray *out,
                    int *quality)
{
    // The file grows with the quality: bisect for the last quality that fits, 7 encodings.
    int low = 1, high = 100, best = 0;
    QByteArray fitting, encoded;
    while (low <= high) {
        const int middle = (low + high) / 2;
        if (encodeJpeg(image, middle, dotsPerInch, JpegCoding::OptimisedHuffman, &encoded) !=
            JpegStatus::Ok)
            return false;
        if (encoded.size() <= maxBytes) {
            best = middle;
            fitting = std::move(encoded);
            low = middle + 1;
        } else {
            high = middle - 1;
        }
    }
    if (best == 0)
        return false;
    *out = std::move(fitting);
    if (quality)
        *quality = best;
    return true;
}

RegistryPhoto makeRegistryPhoto(const BgrImage &capture, bool adjustDpi, bool compress,
                                Quality quality)
{
    RegistryPhoto photo;
    if (capture.isEmpty())
        return failure(std::move(photo), QStringLiteral("没有可以保存的照片。"));
    if (adjustDpi && !canResample(capture)) {
        photo.messages << QStringLiteral("错误的图像文件");
        photo.dpiStepSkipped = true;
    }
    if (adjustDpi && !photo.dpiStepSkipped) {
        const BgrImage resampled = resample(capture, kPhotoWidth, kPhotoHeight);
        if (resampled.isEmpty())
            return failure(
                std::move(photo),
                QStringLiteral("无法把照片调整为 %1 × %2 像素（内存不足），照片没有调整。")
                    .arg(kPhotoWidth)
                    .arg(kPhotoHeight));
        if (quality == Quality::Best &&
            encodeBestJpeg(resampled, kPhotoDpi, kCompressTargetBytes, &photo.bytes))
            return photo;
        const JpegStatus status = encodeJpeg(resampled, kDpiStepQuality, kPhotoDpi, &photo.bytes);
        if (status != JpegStatus::Ok)
            return failure(std::move(photo), jpegFailureText(status));
    } else {
        photo.bytes = encodeBitmap(capture);
    }
    if (!compress)
        return photo;
    RegistryPhoto compressed = compressRegistryPhoto(std::move(photo.bytes));
    compressed.messages = photo.messages + compressed.messages;
    compressed.dpiStepSkipped = photo.dpiStepSkipped;
    return compressed;
}

} // namespace lumo::photo
