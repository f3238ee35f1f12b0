#include "frame/FrameModel.h"

#include "common/Twips.h"

#include <algorithm>

namespace lumo::frame {

FrameLines layoutFrameLines(PhotoSize photo, int outerPenWidth, int innerPenWidth)
{
    const double w = common::pixelsToTwipsExact(photo.width);
    const double h = common::pixelsToTwipsExact(photo.height);
    const double centre = common::pixelsToTwipsExact(photo.width / 2.0);
    const double innerLeft = w / 6;
    const double innerRight = w / 6 * 5;
    const double innerTop = h / 6 - h / 12;
    const double innerBottom = h / 6 * 5 - h / 12;
    // Coordinates are held in single precision, as the lines store them.
    auto point = [](double x, double y) { return QPointF(float(x), float(y)); };
    const LineColour green = LineColour::Green;
    const LineColour red = LineColour::Red;
    return {{
        {point(0, 0), point(w, 0), green, outerPenWidth},
        {point(w, 0), point(w, h), green, outerPenWidth},
        {point(0, h), point(w, h), green, outerPenWidth},
        {point(0, 0), point(0, h), green, outerPenWidth},
        {point(centre, 0), point(centre, h), green, 1},
        {point(innerLeft, innerTop), point(innerRight, innerTop), red, innerPenWidth},
        {point(innerLeft, innerTop), point(innerLeft, innerBottom), red, innerPenWidth},
        {point(innerLeft, innerBottom), point(innerRight, innerBottom), red, innerPenWidth},
        {point(innerRight, innerTop), point(innerRight, innerBottom), red, innerPenWidth},
    }};
}

QRect linePixels(const FrameLine &line)
{
    const int x1 = common::twipsToPixels(line.from.x());
    const int y1 = common::twipsToPixels(line.from.y());
    const int x2 = common::twipsToPixels(line.to.x());
    const int y2 = common::twipsToPixels(line.to.y());
    const int before = line.penWidth / 2;
    const int after = line.penWidth - before - 1;
    return QRect(QPoint(std::min(x1, x2) - before, std::min(y1, y2) - before),
                 QPoint(std::max(x1, x2) + after, std::max(y1, y2) + after));
}

std::optional<QSize> frameWindowSizeTwips(PhotoSize photo)
{
    const std::optional<qint16> width = common::pixelsToTwips16(photo.width);
    const std::optional<qint16> height = common::pixelsToTwips16(photo.height);
    if (!width || !height)
        return std::nullopt;
    const int margin = common::pixelsToTwips(20);
    if (*width + margin > 32767 || *height + margin > 32767)
        return std::nullopt;
    return QSize(*width + margin, *height + margin);
}

void FrameModel::setLeft(float twips)
{
    m_left = twips;
    emit positionChanged();
}

void FrameModel::setTop(float twips)
{
    m_top = twips;
    emit positionChanged();
}

void FrameModel::setPhotoSize(PhotoSize photo)
{
    m_photo = photo;
    m_widthTwips = common::pixelsToTwips16(photo.width).value_or(m_widthTwips);
    m_heightTwips = common::pixelsToTwips16(photo.height).value_or(m_heightTwips);
    if (const std::optional<QSize> size = frameWindowSizeTwips(photo))
        m_windowSizeTwips = *size;
    emit sizeChanged();
    layOut();
}

void FrameModel::setPenWidths(int outer, int inner)
{
    if (outer == m_outerPen && inner == m_innerPen)
        return;
    m_outerPen = outer;
    m_innerPen = inner;
    layOut();
}

void FrameModel::layOut()
{
    m_lines = layoutFrameLines(m_photo, m_outerPen, m_innerPen);
    emit linesChanged();
}

QRect FrameModel::photoRectangle() const
{
    return QRect(common::twipsToPixels(m_left), common::twipsToPixels(m_top), m_photo.width,
                 m_photo.height);
}

QList<QRect> guidePixels(const FramingGuideShape &guide, int photoWidth)
{
    if (!guide.isShown())
        return {};
    constexpr int kThickness = 2;
    constexpr int kClearance = 3; // the box lies around the face, not on it
    const int markLength = qMax(8, photoWidth / 6);
    QList<QRect> pixels;
    for (const int row : {guide.headBandTop, guide.headBandBottom}) {
        pixels << QRect(0, row - kThickness / 2, markLength, kThickness)
               << QRect(photoWidth - markLength, row - kThickness / 2, markLength, kThickness);
    }
    if (!guide.face.isEmpty()) {
        const QRect box = guide.face.adjusted(-kClearance - kThickness, -kClearance - kThickness,
                                              kClearance + kThickness, kClearance + kThickness);
        pixels << QRect(box.left(), box.top(), box.width(), kThickness)
               << QRect(box.left(), box.bottom() - kThickness + 1, box.width(), kThickness)
               << QRect(box.left(), box.top(), kThickness, box.height())
               << QRect(box.right() - kThickness + 1, box.top(), kThickness, box.height());
    }
    return pixels;
}

void FrameModel::setGuide(const FramingGuideShape &guide)
{
    if (guide == m_guide)
        return;
    m_guide = guide;
    emit guideChanged();
}

void FrameModel::setHidden(bool hidden)
{
    if (hidden == m_hidden)
        return;
    m_hidden = hidden;
    emit hiddenChanged(hidden);
}

void FrameModel::bringToFront()
{
    setHidden(false);
    emit raiseRequested();
}

void FrameModel::moveBySteps(int across, int down, double stepTwips)
{
    if (down != 0)
        m_top = float(m_top + down * stepTwips);
    if (across != 0)
        m_left = float(m_left + across * stepTwips);
    emit positionChanged();
}

void FrameModel::shiftAfterZoom(int widthChange)
{
    const double shift = common::pixelsToTwipsExact(widthChange / 2.0);
    m_top = float(m_top - shift);
    m_left = float(m_left - shift);
    if (widthChange > 0) {
        m_left = std::max(m_left, 0.0f);
        m_top = std::max(m_top, 0.0f);
    }
    emit positionChanged();
}

void FrameModel::centreOn(QPoint cursor)
{
    const double twipsX = common::pixelsToTwips(cursor.x());
    const double twipsY = common::pixelsToTwips(cursor.y());
    m_top = float(twipsY - common::pixelsToTwips(m_photo.height) / 2.0);
    m_left = float(twipsX - common::pixelsToTwips(m_photo.width) / 2.0);
    emit positionChanged();
}

} // namespace lumo::frame
