#include "app/PictureBox.h"

#include <QPainter>

PictureBox::PictureBox(QWidget *parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setFocusPolicy(Qt::StrongFocus);
}

void PictureBox::setImage(const QImage &image)
{
    m_image = image;
    if (m_autoSize && !m_image.isNull())
        resize(m_image.size() + QSize(2 * frameWidth(), 2 * frameWidth()));
    update();
}

void PictureBox::clear()
{
    m_image = QImage();
    update();
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    if (m_image.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(contentsRect().topLeft(), m_image);
}
