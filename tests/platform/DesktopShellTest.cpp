// The desktop shell through Qt's real URL handler lookup: a stand-in xdg-open on the PATH records
// what it was asked to open.
#include "platform/qt/DesktopShell.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

using lumo::platform::DesktopShell;

TEST(DesktopShell, HandsTheManualAndFoldersToXdgOpen)
{
    QTemporaryDir bin;
    const QString log = bin.filePath(QStringLiteral("opened.txt"));
    const QString xdgOpen = bin.filePath(QStringLiteral("xdg-open"));
    writeBytes(xdgOpen, "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + log.toUtf8() + "'\n");
    QFile::setPermissions(xdgOpen, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("PATH", bin.path().toUtf8() + ':' + qgetenv("PATH"));
    qunsetenv("XDG_CURRENT_DESKTOP"); // no desktop-specific handler instead of xdg-open
    auto lastOpened = [&](int count) {
        for (int i = 0; i < 100 && readBytes(log).count('\n') < count; ++i)
            QTest::qWait(50);
        return QString::fromUtf8(readBytes(log)).split(u'\n', Qt::SkipEmptyParts).value(count - 1);
    };

    QTemporaryDir photos;
    const QString manual = QDir(photos.path()).filePath(QStringLiteral("操作 说明.html"));
    writeBytes(manual, "<html></html>");
    DesktopShell shell;
    ASSERT_TRUE(shell.openFile(manual));
    EXPECT_EQ(lastOpened(1), QUrl::fromLocalFile(manual).toString(QUrl::FullyEncoded));
    ASSERT_TRUE(shell.openFolder(photos.path()));
    EXPECT_EQ(lastOpened(2), QUrl::fromLocalFile(photos.path()).toString(QUrl::FullyEncoded));
}
