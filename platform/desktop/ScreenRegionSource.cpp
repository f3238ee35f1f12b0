#include "platform/desktop/ScreenRegionSource.h"

namespace lumo::platform {

QImage ScreenRegionSource::capture(const QRect &photoRectangle)
{
    if (photoRectangle.isEmpty())
        return QImage();
    m_screen.letWindowsRepaint();
    return m_screen.grab(photoRectangle);
}

QImage ScreenRegionSource::peek(const QRect &photoRectangle)
{
    if (photoRectangle.isEmpty() || !m_screen.isAvailable())
        return QImage();
    return m_screen.grab(photoRectangle);
}

} // namespace lumo::platform
