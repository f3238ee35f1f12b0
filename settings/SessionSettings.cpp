#include "settings/SessionSettings.h"

#include <QDir>

namespace lumo::settings {

SessionSettings SessionSettings::defaults(const QString &homeFolder)
{
    SessionSettings s;
    s.outputFolder = QDir::toNativeSeparators(homeFolder + QStringLiteral("/学籍照片"));
    s.backupFolder = QDir::toNativeSeparators(homeFolder + QStringLiteral("/学籍照片备份"));
    return s;
}

} // namespace lumo::settings
