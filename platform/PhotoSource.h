// Where a photo's pixels come from when the operator takes it. The first source copies the
// screen inside the photo frame, which lies over another program's camera picture.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>

namespace lumo::platform {

class PhotoSource
{
public:
    virtual ~PhotoSource() = default;

    // False when no photo can be taken here; unavailableReason() then says why.
    virtual bool isAvailable() const = 0;
    virtual QString unavailableReason() const = 0;

    // The picture inside the frame's photo rectangle (in Qt's device-independent screen pixels),
    // at the screen's own resolution: twice the rectangle's width and height on a desktop scaled
    // by 2. The frame's lines are hidden by the caller first. A null image when nothing could be
    // taken.
    virtual QImage capture(const QRect &photoRectangle) = 0;

    // The same rectangle as the screen shows it now, frame lines and all, without waiting: the
    // picture the live framing guide looks at. A null image when nothing could be taken.
    virtual QImage peek(const QRect &photoRectangle) = 0;
};

} // namespace lumo::platform
