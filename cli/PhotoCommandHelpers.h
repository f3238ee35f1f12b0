// What the "lumo-cli photo" commands share.
#pragma once

#include <QString>
#include <QStringList>

namespace lumo::cli {

QString shown(const QString &path);
// "PATH: reason" on the error stream.
void printFailure(const QString &path, const QString &reason);

// "lumo-cli photo resample".
int resamplePhoto(const QStringList &arguments);

} // namespace lumo::cli
