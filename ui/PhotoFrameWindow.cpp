#include "ui/PhotoFrameWindow.h"

#include "common/Twips.h"
#include "frame/FrameModel.h"
#include "ui/GuideColour.h"

#include <QPainter>

namespace lumo::ui {

namespace {

QColor colourOf(frame::LineColour colour)
{
    return colour == frame::LineColour::Green ? QColor(0, 255, 0) : QColor(255, 0, 0);
}

QRegion regionOf(const QList<QRect> &rects)
{
    QRegion region;
    for (const QRect &rect : rects)
        region += rect;
    return region;
}

} // namespace

PhotoFrameWindow::PhotoFrameWindow(frame::FrameModel &frame)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus |
                           Qt::WindowTransparentForInput | Qt::X11BypassWindowManagerHint),
      m_frame(frame)
{
    setObjectName(QStringLiteral("XiangKuang"));
    setWindowTitle(QStringLiteral("相框"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_QuitOnClose, false);
    setFocusPolicy(Qt::NoFocus);
    follow();
    place();
    resizeToFrame();
    layOutLines();
}

void PhotoFrameWindow::follow()
{
    connect(&m_frame, &frame::FrameModel::positionChanged, this, &PhotoFrameWindow::place);
    connect(&m_frame, &frame::FrameModel::sizeChanged, this, &PhotoFrameWindow::resizeToFrame);
    connect(&m_frame, &frame::FrameModel::linesChanged, this, &PhotoFrameWindow::layOutLines);
    connect(&m_frame, &frame::FrameModel::guideChanged, this, &PhotoFrameWindow::layOutLines);
    connect(&m_frame, &frame::FrameModel::hiddenChanged, this,
            [this](bool hidden) { setVisible(!hidden); });
    connect(&m_frame, &frame::FrameModel::raiseRequested, this, [this] {
        show();
        raise();
    });
}

void PhotoFrameWindow::closeForGood()
{
    disconnect(&m_frame, nullptr, this, nullptr);
    close();
}

void PhotoFrameWindow::place()
{
    move(common::twipsToPixels(m_frame.left()), common::twipsToPixels(m_frame.top()));
}

void PhotoFrameWindow::resizeToFrame()
{
    const QSize twips = m_frame.windowSizeTwips();
    resize(qMax(1, common::twipsToPixels(twips.width())),
           qMax(1, common::twipsToPixels(twips.height())));
}

void PhotoFrameWindow::layOutLines()
{
    QRegion pixels = regionOf(frame::guidePixels(m_frame.guide(), m_frame.photoSize().width));
    for (const frame::FrameLine &line : m_frame.lines())
        pixels += frame::linePixels(line);
    if (pixels == m_linePixels)
        return;
    m_linePixels = pixels;
    // Only the line pixels belong to the window; everything else shows what lies below. A
    // shaped window needs no compositor, unlike a translucent one.
    setMask(m_linePixels);
    update();
}

void PhotoFrameWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QColor guide = guideColour(m_frame.guide());
    for (const QRect &rect : frame::guidePixels(m_frame.guide(), m_frame.photoSize().width))
        painter.fillRect(rect, guide);
    for (const frame::FrameLine &line : m_frame.lines())
        painter.fillRect(frame::linePixels(line), colourOf(line.colour));
}

} // namespace lumo::ui
