// A label that acts as a link: "系统设置" and "功能介绍" fold their panels in and out.
#pragma once

#include <QLabel>

namespace lumo::ui {

class ClickableLabel : public QLabel
{
    Q_OBJECT

public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};

} // namespace lumo::ui
