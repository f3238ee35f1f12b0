// Lumo's own camera view: the live picture at the window's width, in the camera's shape, with
// the photo frame's lines drawn over it where the frame model puts them.
#pragma once

#include <QImage>
#include <QWidget>

namespace lumo::frame {
class FrameModel;
}

namespace lumo::ui {

class CameraPreviewWindow : public QWidget
{
    Q_OBJECT

public:
    explicit CameraPreviewWindow(frame::FrameModel &frame);

    // The newest camera frame.
    void showFrame(const QImage &frame);
    // What to say instead of a picture (no camera, unplugged).
    void showProblem(const QString &problem);

    // The size of the picture area, in the window's pixels.
    QSize previewSize() const { return m_previewSize; }

signals:
    void previewSizeChanged(QSize size);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void updatePreviewSize();

    frame::FrameModel &m_frame;
    QImage m_picture;
    QString m_problem;
    QSize m_previewSize;
};

} // namespace lumo::ui
