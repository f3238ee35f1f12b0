// The desktop shell through Qt's real URL handler lookup: a stand-in xdg-open on the PATH records
// what it was asked to open.
#include "platform/qt/DesktopShell.h"
#include "tests/support/TestFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

using lumo::platform::DesktopShell;

TEST(DesktopShell, HandsTheManualAndFoldersToXdgOpen)
{
    QTemporaryDir folder; // holds the stand-in, its record and the manual
    const QString log = folder.filePath("opened.txt"), xdgOpen = folder.filePath("xdg-open");
    writeBytes(xdgOpen, "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + log.toUtf8() + "'\n");
    QFile::setPermissions(xdgOpen, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("PATH", folder.path().toUtf8() + ':' + qgetenv("PATH"));
    qunsetenv("XDG_CURRENT_DESKTOP"); // no desktop-specific handler instead of xdg-open
    auto opened = [&](int count) {    // the count-th URL opened, once it was
        for (int i = 0; i < 100 && readBytes(log).count('\n') < count; ++i)
            QTest::qWait(50);
        return QString::fromUtf8(readBytes(log).split('\n').value(count - 1));
    };

    const QString manual = folder.filePath("操作 说明.html");
    writeBytes(manual, "<html></html>");
    DesktopShell shell;
    ASSERT_TRUE(shell.openFile(manual));
    EXPECT_EQ(opened(1), QUrl::fromLocalFile(manual).toString(QUrl::FullyEncoded));
    ASSERT_TRUE(shell.openFolder(folder.path()));
    EXPECT_EQ(opened(2), QUrl::fromLocalFile(folder.path()).toString(QUrl::FullyEncoded));
}
