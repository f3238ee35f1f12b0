// The size a picture file claims is checked before any memory is taken for its pixels: a few
// bytes of header may claim gigabytes.
#pragma once

#include "photo/BgrImage.h"

#include <QString>

namespace lumo::photo::detail {

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

} // namespace lumo::photo::detail
