#include "ui/PictureView.h"

#include <QPainter>

namespace lumo::ui {

PictureView::PictureView(QWidget *parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setFocusPolicy(Qt::StrongFocus);
}

void PictureView::setImage(const QImage &image)
{
    m_image = image;
    if (m_autoSize && !m_image.isNull())
        resize(m_image.deviceIndependentSize().toSize() +
               QSize(2 * frameWidth(), 2 * frameWidth()));
    update();
}

void PictureView::clear()
{
    m_image = QImage();
    update();
}

void PictureView::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    if (m_image.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(contentsRect().topLeft(), m_image);
}

} // namespace lumo::ui
