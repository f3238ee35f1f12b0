#include "session/PictureConversion.h"

namespace lumo::session {

photo::BgrImage toBgrImage(const QImage &picture)
{
    if (picture.isNull())
        return photo::BgrImage();
    const QImage pixels = picture.convertToFormat(QImage::Format_BGR888);
    photo::BgrImage image = photo::BgrImage::fromRows(pixels.constBits(), pixels.bytesPerLine(),
                                                      pixels.width(), pixels.height());
    image.setDotsPerMeter(pixels.dotsPerMeterX(), pixels.dotsPerMeterY());
    return image;
}

} // namespace lumo::session
