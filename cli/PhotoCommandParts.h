// What the "lumo-cli photo" commands share: exit statuses, help and failure lines.
#pragma once

#include <QString>
#include <QStringList>

namespace lumo::cli {

inline constexpr int kOk = 0;
inline constexpr int kFailed = 1;
inline constexpr int kUsage = 2;

bool wantsHelp(const QStringList &arguments);
// Prints the problem and the usage to the error stream; returns kUsage.
int usageError(const char *usage, const QString &problem);
QString shown(const QString &path);
void printFailure(const QString &path, const QString &reason);

// "lumo-cli photo resample".
int resamplePhoto(const QStringList &arguments);

} // namespace lumo::cli
