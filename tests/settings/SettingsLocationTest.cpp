#include "settings/SettingsLocation.h"
#include "settings/MakeDirPath.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(MakeDirPath, CreatesEveryMissingLevel)
{
    QTemporaryDir root;
    const QString deep = root.filePath(QStringLiteral("学籍照片/2026/一班"));
    EXPECT_TRUE(MakeDirPath(QStringLiteral("  ") + deep + QStringLiteral("/  ")));
    EXPECT_TRUE(QFileInfo(deep).isDir());
    EXPECT_TRUE(MakeDirPath(deep)) << "existing folders are fine";
}

TEST(MakeDirPath, FailsOnAFileInThePathOrAnImpossibleFolder)
{
    QTemporaryDir root;
    writeBytes(root.filePath(QStringLiteral("plain")), "x");
    EXPECT_FALSE(MakeDirPath(root.filePath(QStringLiteral("plain"))));
    EXPECT_FALSE(MakeDirPath(root.filePath(QStringLiteral("plain/below"))));
    EXPECT_FALSE(MakeDirPath(QStringLiteral("/proc/lumo-cannot-exist/x")));
    EXPECT_FALSE(MakeDirPath(QString()));
}

TEST(SettingsLocation, ProgramFolderWhenWritable)
{
    QTemporaryDir program, user;
    const QString folder = settings::chooseSettingsFolder(program.path(), user.path());
    EXPECT_EQ(folder, QDir(program.path()).filePath(QStringLiteral("config")));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_TRUE(QDir(folder).isEmpty()) << "the write test leaves nothing behind";
}

TEST(SettingsLocation, UserFolderWhenTheProgramFolderCannotBeWritten)
{
    QTemporaryDir user;
    const QString expected = QDir(user.path()).filePath(QStringLiteral("config"));
    // A folder nobody can create files in, not even the super-user.
    EXPECT_EQ(settings::chooseSettingsFolder(QStringLiteral("/proc/self"), user.path()), expected);
    EXPECT_TRUE(QFileInfo(expected).isDir());

    // "config" taken by a plain file.
    QTemporaryDir program;
    writeBytes(program.filePath(QStringLiteral("config")), "not a folder");
    EXPECT_EQ(settings::chooseSettingsFolder(program.path(), user.path()), expected);

    // Installed: the system's program folder is never written, whoever runs Lumo.
    const QString installed = QStringLiteral(LUMO_INSTALLED_PROGRAM_FOLDER);
    EXPECT_EQ(settings::chooseSettingsFolder(installed, user.path()), expected);
    EXPECT_FALSE(QFileInfo::exists(QDir(installed).filePath(QStringLiteral("config"))));
}
