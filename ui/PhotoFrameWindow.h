// The photo frame: a borderless window over the camera program of which only its lines show.
// Its outer border marks exactly the screen region a capture copies; the centre line and the
// inner box help the operator place the student. It takes no focus and no mouse input.
#pragma once

#include "frame/FrameGeometry.h"
#include "frame/ProgramWide.h"

#include <QWidget>

#include <functional>

class QTimer;

class XiangKuang : public QWidget
{
    Q_OBJECT

public:
    // borderWidths gives the texts of the outer and inner border-width boxes.
    XiangKuang(ProgramWide &programWide, std::function<QString()> outerBorderText,
               std::function<QString()> innerBorderText);

    // Sizes the window from the photo size; an unset photo size becomes 300 x 400.
    void Form_Load();

    // Lays the lines out from the current photo size and border widths (every 500 ms).
    void Timer1_Timer();

    // Position and size in twips. The position is kept in single precision, as moved by the keys.
    float Left() const { return m_left; }
    float Top() const { return m_top; }
    void setLeft(float twips);
    void setTop(float twips);
    int Width() const;
    int Height() const;
    void setSizeTwips(QSize twipsSize);

    // Makes the window visible and brings it to the front.
    void Show();

    const frame::FrameLines &lines() const { return m_lines; }

    QTimer *Timer1 = nullptr;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void applyPosition();

    ProgramWide &m_programWide;
    std::function<QString()> m_outerBorderText;
    std::function<QString()> m_innerBorderText;
    frame::FrameLines m_lines{};
    QRegion m_linePixels;
    float m_left = 0;
    float m_top = 0;
};
