// The lumo program itself, started from a program folder of its own on the X server.
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>

#include <gtest/gtest.h>

namespace {

QStringList settingsLines(const QString &path)
{
    QStringList lines;
    for (const QByteArray &line : readBytes(path).split('\n'))
        lines << QString::fromLatin1(line.trimmed());
    return lines;
}

class LumoProcess : public ::testing::TestWithParam<int>
{
};

} // namespace

// A logout (SIGTERM) or Ctrl+C (SIGINT) ends Lumo through its shut-down: the settings are saved.
TEST_P(LumoProcess, EndsThroughTheShutDownOnSignal)
{
    QTemporaryDir folder, home;
    const QString program = QDir(folder.path()).filePath(QStringLiteral("lumo"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(LUMO_PROGRAM), program));
    const QString settingsPath =
        QDir(folder.path()).filePath(QStringLiteral("config/xueji_orin.ini"));

    QProcess lumo;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral(".config")));
    lumo.setProcessEnvironment(environment);
    lumo.start(program, {});
    ASSERT_TRUE(lumo.waitForStarted());

    // A search can fail while windows come and go, so it is asked again until it finds one.
    bool shown = false;
    for (int attempt = 0; attempt < 150 && !shown; ++attempt) {
        QProcess search;
        search.start(QStringLiteral("xdotool"),
                     {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                      QStringLiteral("--name"), QStringLiteral("^Lumov2\\.0$")});
        shown = search.waitForFinished(5000) && search.exitCode() == 0 &&
                !search.readAllStandardOutput().trimmed().isEmpty();
        if (!shown)
            QThread::msleep(100);
    }
    ASSERT_TRUE(shown) << "the main window did not appear";

    // The first run wrote the defaults; line 4 then held the reset's frame width.
    ASSERT_TRUE(QFileInfo::exists(settingsPath));
    EXPECT_EQ(settingsLines(settingsPath).value(4), QStringLiteral("\"2400\""));

    ::kill(pid_t(lumo.processId()), GetParam());
    ASSERT_TRUE(lumo.waitForFinished(10000));
    EXPECT_EQ(lumo.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(lumo.exitCode(), 0);
    // The shut-down wrote the frame size it ran with: 180 x 240 pixels in twips.
    EXPECT_EQ(settingsLines(settingsPath).value(4), QStringLiteral("\"2700\""));
    EXPECT_EQ(settingsLines(settingsPath).value(5), QStringLiteral("\"3600\""));
}

INSTANTIATE_TEST_SUITE_P(Signals, LumoProcess, ::testing::Values(SIGTERM, SIGINT));
