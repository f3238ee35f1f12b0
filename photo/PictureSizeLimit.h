// The size a picture file claims is checked before any memory is taken for its pixels: a few
// bytes of header may claim gigabytes.
#pragma once

#include "photo/BgrImage.h"

#include <QString>

namespace lumo::photo {

// A decode holds the file's bytes, the pixels and libjpeg's own buffers at once (for a JPEG in
// several scans, every coefficient of the picture: 2 to 8 bytes a pixel). Together they stay
// within this, so that a whole conversion, with the re-encoded picture and the program itself,
// stays below 256 MB on any file: a 50-megapixel JPEG is read when its file is below about 34 MB, a
// 24-bit bitmap up to about 30 megapixels.
inline constexpr std::int64_t kMaxDecodingBytes = std::int64_t(176) << 20;

namespace detail {

// Why a picture of that declared size is not read; empty when it can be.
inline QString pictureSizeProblem(std::int64_t width, std::int64_t height)
{
    if (BgrImage::fitsLimits(width, height))
        return {};
    return QStringLiteral(
               "图片声明的大小 %1 × %2 像素无法读取（每边 1 到 %3 像素，最多 %4 万像素）")
        .arg(width)
        .arg(height)
        .arg(BgrImage::kMaxSide)
        .arg(BgrImage::kMaxPixels / 10000);
}

inline QString decodingMemoryText()
{
    return QStringLiteral("图片太大：文件、像素和解码缓冲一起需要的内存超过 %1 MB")
        .arg(kMaxDecodingBytes >> 20);
}

// Why a decode that holds that many bytes at once is not made; empty when it can be.
inline QString decodingMemoryProblem(std::int64_t bytes)
{
    return bytes <= kMaxDecodingBytes ? QString() : decodingMemoryText();
}

} // namespace detail

} // namespace lumo::photo
