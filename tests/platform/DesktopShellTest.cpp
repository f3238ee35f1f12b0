// The desktop shell adapter against the real URL handler lookup: a stand-in xdg-open on the
// PATH records what it was asked to open.
#include "platform/DesktopShell.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class RecordingXdgOpen
{
public:
    RecordingXdgOpen()
    {
        m_log = m_folder.filePath(QStringLiteral("opened.txt"));
        const QString script = m_folder.filePath(QStringLiteral("xdg-open"));
        writeBytes(script, "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + m_log.toUtf8() + "'\n");
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_oldPath = qgetenv("PATH");
        qputenv("PATH", m_folder.path().toUtf8() + ':' + m_oldPath);
        m_oldDesktop = qgetenv("XDG_CURRENT_DESKTOP");
        qunsetenv("XDG_CURRENT_DESKTOP");
    }
    ~RecordingXdgOpen()
    {
        qputenv("PATH", m_oldPath);
        if (!m_oldDesktop.isEmpty())
            qputenv("XDG_CURRENT_DESKTOP", m_oldDesktop);
    }

    QString waitForOpened()
    {
        for (int i = 0; i < 100 && readBytes(m_log).isEmpty(); ++i)
            QTest::qWait(50);
        return QString::fromUtf8(readBytes(m_log)).trimmed();
    }

private:
    QTemporaryDir m_folder;
    QString m_log;
    QByteArray m_oldPath;
    QByteArray m_oldDesktop;
};

} // namespace

TEST(DesktopShell, OpensTheManualAndFoldersWithTheDesktopHandler)
{
    RecordingXdgOpen xdgOpen;
    QTemporaryDir folder;
    const QString manual = QDir(folder.path()).filePath(QStringLiteral("操作 说明.html"));
    writeBytes(manual, "<html></html>");

    DesktopShell shell;
    ASSERT_TRUE(shell.openFile(manual));
    EXPECT_EQ(xdgOpen.waitForOpened(), QUrl::fromLocalFile(manual).toString(QUrl::FullyEncoded));
}
