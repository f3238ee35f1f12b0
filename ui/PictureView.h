// Shows one picture (the captured photo) and can take the keyboard focus. The pixels live in the
// QImage; the widget only shows them. With auto-size on, the box takes the image's size.
#pragma once

#include <QFrame>
#include <QImage>

namespace lumo::ui {

class PictureView : public QFrame
{
    Q_OBJECT

public:
    explicit PictureView(QWidget *parent = nullptr);

    const QImage &image() const { return m_image; }
    void setImage(const QImage &image);
    void clear();

    void setAutoSize(bool on) { m_autoSize = on; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_image;
    bool m_autoSize = false;
};

} // namespace lumo::ui
