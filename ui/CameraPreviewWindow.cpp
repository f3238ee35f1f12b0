#include "ui/CameraPreviewWindow.h"

#include "common/Twips.h"
#include "frame/FrameModel.h"
#include "ui/GuideColour.h"

#include <QPainter>

namespace lumo::ui {

CameraPreviewWindow::CameraPreviewWindow(frame::FrameModel &frame) : m_frame(frame)
{
    setObjectName(QStringLiteral("CameraPreview"));
    setWindowTitle(QStringLiteral("Lumo 摄像头"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(640, 360);
    connect(&m_frame, &frame::FrameModel::positionChanged, this, qOverload<>(&QWidget::update));
    connect(&m_frame, &frame::FrameModel::linesChanged, this, qOverload<>(&QWidget::update));
    connect(&m_frame, &frame::FrameModel::guideChanged, this, qOverload<>(&QWidget::update));
}

void CameraPreviewWindow::showFrame(const QImage &frame)
{
    const bool shapeChanged = frame.size() != m_picture.size();
    m_picture = frame;
    m_problem.clear();
    if (shapeChanged)
        updatePreviewSize();
    update();
}

void CameraPreviewWindow::showProblem(const QString &problem)
{
    m_problem = problem;
    if (!problem.isEmpty())
        m_picture = QImage();
    update();
}

void CameraPreviewWindow::resizeEvent(QResizeEvent *)
{
    updatePreviewSize();
}

void CameraPreviewWindow::updatePreviewSize()
{
    // The picture fills the window's width in the camera's shape.
    const QSize size = m_picture.isNull()
                           ? QSize()
                           : QSize(width(), width() * m_picture.height() / m_picture.width());
    if (size == m_previewSize)
        return;
    m_previewSize = size;
    emit previewSizeChanged(size);
}

void CameraPreviewWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (m_picture.isNull()) {
        painter.setPen(Qt::white);
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap,
                         m_problem.isEmpty() ? QStringLiteral("等待摄像头画面…") : m_problem);
        return;
    }
    painter.drawImage(QRect(QPoint(0, 0), m_previewSize), m_picture);
    // The frame's lines, in the preview's pixels, from the frame's corner.
    const QPoint corner(common::twipsToPixels(m_frame.left()),
                        common::twipsToPixels(m_frame.top()));
    const QColor guide = guideColour(m_frame.guide());
    for (const QRect &rect : frame::guidePixels(m_frame.guide(), m_frame.photoSize().width))
        painter.fillRect(rect.translated(corner), guide);
    for (const frame::FrameLine &line : m_frame.lines())
        painter.fillRect(frame::linePixels(line).translated(corner),
                         line.colour == frame::LineColour::Green ? QColor(0, 255, 0)
                                                                 : QColor(255, 0, 0));
}

} // namespace lumo::ui
