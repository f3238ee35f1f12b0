#include "ui/ManualWindow.h"

#include <QUrl>

namespace lumo::ui {

ManualWindow::ManualWindow()
{
    setObjectName(QStringLiteral("ManualWindow"));
    setWindowTitle(QStringLiteral("操作说明"));
    setOpenExternalLinks(true);
    resize(640, 720);
}

void ManualWindow::showManual(const QString &path)
{
    setSource(QUrl::fromLocalFile(path));
    show();
    raise();
    activateWindow();
}

} // namespace lumo::ui
