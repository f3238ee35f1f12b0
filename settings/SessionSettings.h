// What Lumo keeps between runs: the operator's settings, as the settings file stores them. Texts
// are kept as the operator typed them; the frame rules decide what they mean.
#pragma once

#include <QString>
#include <QtGlobal>

namespace lumo::settings {

// A switch as stored: 0 off, 1 on. A file may hold 2, a third state that counts as neither.
using Switch = int;

struct SessionSettings
{
    // The photo frame (pixels, except where twips are named).
    QString photoWidth = QStringLiteral("180");
    QString photoHeight = QStringLiteral("240");
    QString moveStep = QStringLiteral("3");
    QString zoomStep = QStringLiteral("10");
    QString frameWidthTwips = QStringLiteral("2400");
    QString frameHeightTwips = QStringLiteral("3285");
    QString outerBorderWidth = QStringLiteral("2");
    QString innerBorderWidth = QStringLiteral("2");

    // Where the photos go and where the class list comes from.
    QString outputFolder;
    QString backupFolder;
    QString workbookPath = QStringLiteral("学生信息模板.xls");

    // The spoken call: before the name, between the two names, after the next name.
    QString promptBeforeName = QStringLiteral("请");
    QString promptBetweenNames = QStringLiteral("前来,,,,");
    QString promptAfterNextName = QStringLiteral("准备");

    Switch voiceOff = 1;
    Switch compress = 1;
    Switch backup = 0;
    Switch adjustDpi = 1;

    // The student the view was at (restored, but the view moves only on the next command).
    qint16 currentIndex = 0;

    // The settings of a first run: the photo folders under the user's home folder.
    static SessionSettings defaults(const QString &homeFolder);

    friend bool operator==(const SessionSettings &, const SessionSettings &) = default;
};

} // namespace lumo::settings
