// The operator manual shown inside Lumo, so that it opens also where no browser is installed.
#pragma once

#include <QTextBrowser>

namespace lumo::ui {

class ManualWindow : public QTextBrowser
{
    Q_OBJECT

public:
    ManualWindow();

    // Shows the manual file and brings the window to the front.
    void showManual(const QString &path);
};

} // namespace lumo::ui
