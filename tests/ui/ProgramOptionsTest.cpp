// The lumo program's --help, --version and a wrong option: answered without a display, and
// without reading or writing any settings.
#include "common/Version.h"
#include "tests/support/ProgramRun.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(LumoProgramOptions, HelpAndVersionNeedNoDisplayAndLeaveNoFiles)
{
    // A copy of lumo, so that its program folder (where settings may go) starts empty too.
    QTemporaryDir home, program;
    const QString lumo = program.filePath("lumo");
    ASSERT_TRUE(QFile::copy(LUMO_PATH, lumo));
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_CONFIG_HOME"})
        qunsetenv(name);
    qputenv("HOME", QFile::encodeName(home.path()));

    const ProgramRun version = runProgram(lumo, {"--version"});
    EXPECT_EQ(version.exitCode, 0) << version.err.toStdString();
    EXPECT_EQ(version.out, QStringLiteral("lumo %1\n").arg(lumo::kVersion));
    const ProgramRun help = runProgram(lumo, {"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: lumo [options]")) << help.out.toStdString();
    EXPECT_TRUE(help.out.contains("--camera-file <FILE>"));
    // A wrong option is named, before the missing display.
    const ProgramRun wrong = runProgram(lumo, {"--camera-fil", "x.avi"});
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_TRUE(wrong.err.contains("camera-fil")) << wrong.err.toStdString();

    const auto filter = QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot;
    EXPECT_EQ(QDir(home.path()).entryList(filter), QStringList());
    EXPECT_EQ(QDir(program.path()).entryList(filter), QStringList{"lumo"});
}
