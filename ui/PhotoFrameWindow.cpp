#include "frame/XiangKuang.h"

#include "frame/Twips.h"

#include <QPainter>
#include <QTimer>

XiangKuang::XiangKuang(ProgramWide &programWide, std::function<QString()> outerBorderText,
                       std::function<QString()> innerBorderText)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus |
                           Qt::WindowTransparentForInput | Qt::X11BypassWindowManagerHint),
      m_programWide(programWide), m_outerBorderText(std::move(outerBorderText)),
      m_innerBorderText(std::move(innerBorderText))
{
    setObjectName(QStringLiteral("XiangKuang"));
    setWindowTitle(QStringLiteral("相框"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_QuitOnClose, false);
    setFocusPolicy(Qt::NoFocus);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(500);
    connect(Timer1, &QTimer::timeout, this, &XiangKuang::Timer1_Timer);
}

void XiangKuang::Form_Load()
{
    const frame::PhotoSize photo{m_programWide.QjZhaoPKuan, m_programWide.QjZhaoPGao};
    setSizeTwips(frame::frameWindowSizeTwips(photo).value_or(QSize(300, 300)));
    if (m_programWide.QjZhaoPKuan == 0) {
        m_programWide.QjZhaoPKuan = 300;
        m_programWide.QjZhaoPGao = 400;
    }
    // Laid out at once as well, so the frame never shows without its lines.
    Timer1_Timer();
    Timer1->start();
}

void XiangKuang::Timer1_Timer()
{
    const frame::PhotoSize photo{m_programWide.QjZhaoPKuan, m_programWide.QjZhaoPGao};
    const frame::FrameLines lines = frame::layoutFrameLines(
        photo, frame::penWidth(m_outerBorderText()), frame::penWidth(m_innerBorderText()));

    QRegion pixels;
    for (const frame::FrameLine &line : lines)
        pixels += frame::linePixels(line);
    m_lines = lines;
    if (pixels == m_linePixels)
        return;
    m_linePixels = pixels;
    // Only the line pixels belong to the window; everything else shows what lies below. A
    // shaped window needs no compositor, unlike a translucent one.
    setMask(m_linePixels);
    update();
}

void XiangKuang::setLeft(float twips)
{
    m_left = twips;
    applyPosition();
}

void XiangKuang::setTop(float twips)
{
    m_top = twips;
    applyPosition();
}

int XiangKuang::Width() const
{
    return twips::fromPixels(width());
}

int XiangKuang::Height() const
{
    return twips::fromPixels(height());
}

void XiangKuang::setSizeTwips(QSize twipsSize)
{
    resize(qMax(1, twips::toPixels(twipsSize.width())),
           qMax(1, twips::toPixels(twipsSize.height())));
}

void XiangKuang::Show()
{
    show();
    raise();
}

void XiangKuang::applyPosition()
{
    move(twips::toPixels(m_left), twips::toPixels(m_top));
}

void XiangKuang::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    for (const frame::FrameLine &line : m_lines)
        painter.fillRect(frame::linePixels(line), line.colour);
}
