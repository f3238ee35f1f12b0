// The photo frame: a borderless window over the camera program of which only its lines show.
// Its outer border marks exactly the screen region a capture copies; the centre line and the
// inner box help the operator place the student. It takes no focus and no mouse input, and it
// shows what the frame model holds.
#pragma once

#include <QRegion>
#include <QWidget>

namespace lumo::frame {
class FrameModel;
}

namespace lumo::ui {

class PhotoFrameWindow : public QWidget
{
    Q_OBJECT

public:
    explicit PhotoFrameWindow(frame::FrameModel &frame);

    // Closes the window for good: the model's later changes no longer show it.
    void closeForGood();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void follow();
    void place();
    void resizeToFrame();
    void layOutLines();

    frame::FrameModel &m_frame;
    QRegion m_linePixels;
};

} // namespace lumo::ui
