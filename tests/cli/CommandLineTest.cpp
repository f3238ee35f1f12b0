// What every lumo-cli command shares, as a script sees it: --help and --version, "--" before file
// names, unknown options named, the exit statuses and the language of the messages.
#include "common/Version.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/TestFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

ProgramRun lumoCli(const QStringList &arguments)
{
    return runProgram(LUMO_CLI_PATH, arguments);
}

// lumo-cli run from the folder with the environment's assignments (NAME=value, or -u NAME).
ProgramRun lumoCliWith(const QStringList &environment, const QString &folder,
                       const QStringList &arguments)
{
    return runProgram("/bin/sh", QStringList{"-c", "cd \"$0\" && exec env \"$@\"", folder} +
                                     environment + QStringList{LUMO_CLI_PATH} + arguments);
}

QStringList wordsOf(const QString &command)
{
    return command.isEmpty() ? QStringList() : command.split(' ');
}

} // namespace

TEST(LumoCliCommandLine, EveryCommandAnswersHelpAndVersionAndNamesWhatIsWrong)
{
    const QString version = QStringLiteral("lumo-cli %1\n").arg(lumo::kVersion);
    for (const QString command :
         {"", "photo", "photo convert", "photo check", "photo check --framing", "photo resample",
          "roster", "roster show", "roster check", "roster mark", "pack", "report"}) {
        const QStringList words = wordsOf(command);
        const ProgramRun help = lumoCli(words + QStringList{"--help"});
        EXPECT_EQ(help.exitCode, 0) << command.toStdString();
        EXPECT_TRUE(help.out.startsWith("usage: lumo-cli " +
                                        words.mid(0, words.value(0) == "roster" ? 1 : 2).join(' ')))
            << help.out.toStdString();
        EXPECT_EQ(lumoCli(words + QStringList{"--version"}).out, version) << command.toStdString();
        const ProgramRun unknown = lumoCli(words + QStringList{"--frobnicate", "x"});
        EXPECT_EQ(unknown.exitCode, 2) << command.toStdString();
        EXPECT_TRUE(unknown.err.contains("unknown option --frobnicate"))
            << unknown.err.toStdString();
        EXPECT_EQ(unknown.out, "");
    }
    for (const char *wrong :
         {"", "frobnicate", "photo", "photo convert", "photo resample in.jpg out.gif",
          "photo resample --size 0x5 in.jpg out.bmp", "roster show", "report --csv"})
        EXPECT_EQ(lumoCli(wordsOf(wrong)).exitCode, 2) << wrong;
}

TEST(LumoCliCommandLine, ArgumentsAfterTwoDashesAreFileNames)
{
    QTemporaryDir folder;
    writeBytes(folder.filePath("--json"), "no picture");
    writeBytes(folder.filePath("-x.jpg"), "no picture");
    const ProgramRun run =
        lumoCliWith({}, folder.path(), {"photo", "check", "--", "--json", "-x.jpg"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "--json: unreadable\n-x.jpg: unreadable\n");
}

TEST(LumoCliCommandLine, MessagesAreChineseWhenTheFirstLocaleVariableSetStartsWithZh)
{
    const QStringList arguments = {"photo", "check", "/nonexistent/1.jpg"};
    const QString english = "/nonexistent/1.jpg does not exist",
                  chinese = "/nonexistent/1.jpg 不存在";
    for (const auto &[environment, expected] :
         {std::pair{QStringList{"LC_ALL=zh_CN.UTF-8", "LANG=C"}, chinese},
          std::pair{QStringList{"-u", "LC_ALL", "LC_MESSAGES=zh_TW.UTF-8", "LANG=C"}, chinese},
          std::pair{QStringList{"-u", "LC_ALL", "-u", "LC_MESSAGES", "LANG=zh_CN.GBK"}, chinese},
          std::pair{QStringList{"LC_ALL=C.UTF-8", "LANG=zh_CN.UTF-8"}, english},
          std::pair{QStringList{"-u", "LC_ALL", "-u", "LC_MESSAGES", "-u", "LANG"}, english}}) {
        const ProgramRun run = lumoCliWith(environment, "/", arguments);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.err.contains(expected)) << environment.join(' ').toStdString();
    }
}
