// The photo frame as the class session sees it: where it lies on the screen, the photo size its
// outer border encloses, the widths of its lines, and the rules by which the frame keys move,
// size and centre it. The frame window only shows what this model holds.
#pragma once

#include "frame/FrameRules.h"

#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>

#include <array>
#include <optional>

namespace lumo::frame {

enum class LineColour { Green, Red };

// One of the frame's lines, in twips from the window's top-left corner.
struct FrameLine
{
    QPointF from;
    QPointF to;
    LineColour colour = LineColour::Green;
    int penWidth = 1;
};

// The outer border (top, right, bottom, left), the centre line and the inner guide box (top,
// left, bottom, right).
using FrameLines = std::array<FrameLine, 9>;

FrameLines layoutFrameLines(PhotoSize photo, int outerPenWidth, int innerPenWidth);

// The screen pixels a line covers, relative to the window: the segment thickened by its pen,
// centred on it, and lengthened by the same amount at both ends so that corners close.
QRect linePixels(const FrameLine &line);

// The live framing guide over the photo: the face the checks see and the band its head should
// span, in pixels from the photo rectangle's top-left corner.
struct FramingGuideShape
{
    QRect face;             // empty when there is not exactly one face
    int headBandTop = 0;    // the rows crown and chin should lie on
    int headBandBottom = 0; // equal to the top when no guide is shown
    bool headFits = false;

    bool isShown() const { return headBandBottom > headBandTop; }
    friend bool operator==(const FramingGuideShape &, const FramingGuideShape &) = default;
};

// The pixels the guide covers in a photo of that width: the face's box just outside the face,
// and short marks at both edges where the head band begins and ends.
QList<QRect> guidePixels(const FramingGuideShape &guide, int photoWidth);

// The frame window: the photo plus a 20-pixel strip right and below, in twips. Nothing when the
// 16-bit sums overflow.
std::optional<QSize> frameWindowSizeTwips(PhotoSize photo);

class FrameModel : public QObject
{
    Q_OBJECT

public:
    // The window's top-left corner in twips, held in single precision as the keys move it.
    float left() const { return m_left; }
    float top() const { return m_top; }
    void setLeft(float twips);
    void setTop(float twips);

    PhotoSize photoSize() const { return m_photo; }
    // Sets the photo size; the frame's own size in twips follows where it fits 16 bits.
    void setPhotoSize(PhotoSize photo);
    // The frame's width and height in twips, as the settings file keeps them.
    qint16 widthTwips() const { return m_widthTwips; }
    qint16 heightTwips() const { return m_heightTwips; }
    // The window's size in twips; before a photo size is known, 300 x 300.
    QSize windowSizeTwips() const { return m_windowSizeTwips; }

    void setPenWidths(int outer, int inner);
    const FrameLines &lines() const { return m_lines; }

    // The screen rectangle a capture copies: the photo at the frame's corner, in pixels.
    QRect photoRectangle() const;

    // Hidden while a capture copies the screen, so that its lines are not in the photo.
    bool isHidden() const { return m_hidden; }
    void setHidden(bool hidden);
    // Shows the frame and brings it in front of the camera program.
    void bringToFront();

    // The live framing guide; not shown until the checks have looked at the picture.
    const FramingGuideShape &guide() const { return m_guide; }
    void setGuide(const FramingGuideShape &guide);

    // One W, A, S or D press: whole steps across and down.
    void moveBySteps(int across, int down, double stepTwips);
    // After Q (shrink) or E (enlarge) changed the width, the frame moves by half the change so
    // that the photo stays centred; E stops at the screen's top-left edge.
    void shiftAfterZoom(int widthChange);
    // Centres the photo on the cursor (screen pixels).
    void centreOn(QPoint cursor);

signals:
    void positionChanged();
    void sizeChanged();
    void linesChanged();
    void hiddenChanged(bool hidden);
    void raiseRequested();
    void guideChanged();

private:
    void layOut();

    float m_left = 0;
    float m_top = 0;
    PhotoSize m_photo;
    qint16 m_widthTwips = 0;
    qint16 m_heightTwips = 0;
    QSize m_windowSizeTwips{300, 300};
    int m_outerPen = 1;
    int m_innerPen = 1;
    FrameLines m_lines = layoutFrameLines({}, 1, 1);
    bool m_hidden = false;
    FramingGuideShape m_guide;
};

} // namespace lumo::frame
