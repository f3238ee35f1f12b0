#include "settings/LumoSettings.h"

#include "common/AtomicFile.h"

#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>

namespace lumo::settings {

namespace {

const char *const kSourceNames[] = {"screen", "camera", "folder"};

QString resolutionText(QSize size)
{
    return size.isEmpty() ? QString()
                          : QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}

QSize resolutionOf(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,5})x(\\d{1,5})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    return match.hasMatch() ? QSize(match.captured(1).toInt(), match.captured(2).toInt()) : QSize();
}

} // namespace

LumoSettings readLumoSettings(const QString &path, bool *found)
{
    if (found)
        *found = false;
    // Read from a copy taken with a hard cap: the file may be anything a user put there.
    QByteArray bytes;
    QString error;
    LumoSettings settings;
    if (!common::readRegularFile(path, 64 * 1024, &bytes, &error))
        return settings;
    QTemporaryDir scratch;
    const QString copy = scratch.filePath(QStringLiteral("lumo.ini"));
    if (!common::writeFileAtomically(copy, bytes))
        return settings;
    if (found)
        *found = true;
    const QSettings file(copy, QSettings::IniFormat);
    const QString source = file.value(QStringLiteral("photo/source")).toString();
    for (int kind = 0; kind < 3; ++kind) {
        if (source == QLatin1String(kSourceNames[kind]))
            settings.source = PhotoSourceKind(kind);
    }
    settings.cameraId = file.value(QStringLiteral("camera/device")).toByteArray();
    settings.cameraResolution =
        resolutionOf(file.value(QStringLiteral("camera/resolution")).toString());
    settings.watchedFolder = file.value(QStringLiteral("folder/path")).toString();
    settings.checkPhotos = file.value(QStringLiteral("photo/check"), true).toBool();
    settings.bestQuality = file.value(QStringLiteral("photo/bestQuality"), false).toBool();
    settings.schoolCode = file.value(QStringLiteral("registry/schoolCode")).toString();
    settings.classNumber = file.value(QStringLiteral("registry/classNumber")).toString();
    return settings;
}

bool writeLumoSettings(const QString &path, const LumoSettings &settings, QString *reason)
{
    // QSettings writes where it is told; the file is made here and then put in place whole.
    QTemporaryDir scratch;
    const QString made = scratch.filePath(QStringLiteral("lumo.ini"));
    {
        QSettings file(made, QSettings::IniFormat);
        file.setValue(QStringLiteral("photo/source"),
                      QLatin1String(kSourceNames[int(settings.source)]));
        file.setValue(QStringLiteral("camera/device"), settings.cameraId);
        file.setValue(QStringLiteral("camera/resolution"),
                      resolutionText(settings.cameraResolution));
        file.setValue(QStringLiteral("folder/path"), settings.watchedFolder);
        file.setValue(QStringLiteral("photo/check"), settings.checkPhotos);
        file.setValue(QStringLiteral("photo/bestQuality"), settings.bestQuality);
        file.setValue(QStringLiteral("registry/schoolCode"), settings.schoolCode);
        file.setValue(QStringLiteral("registry/classNumber"), settings.classNumber);
        file.sync();
        if (file.status() != QSettings::NoError) {
            if (reason)
                *reason = QStringLiteral("无法写入设置文件 %1").arg(path);
            return false;
        }
    }
    QByteArray bytes;
    QString error;
    if (!common::readRegularFile(made, 64 * 1024, &bytes, &error)) {
        if (reason)
            *reason = error;
        return false;
    }
    return common::writeFileAtomically(path, bytes, reason);
}

} // namespace lumo::settings
