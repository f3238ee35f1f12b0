#include "platform/qt/DesktopShell.h"

#include <QDesktopServices>
#include <QUrl>

namespace lumo::platform {

bool DesktopShell::openFile(const QString &path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool DesktopShell::openFolder(const QString &path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace lumo::platform
