// "lumo-cli pack" as a script runs it: what it prints and its exit status.
#include "tests/packaging/ZipContents.h"
#include "tests/support/ProgramRun.h"

#include <QFileInfo>

#include <gtest/gtest.h>

using namespace packtest;

TEST(LumoCliPack, PrintsTheArchiveAndExitsWithTwoOnlyAboveFiveMillionBytes)
{
    QTemporaryDir exact, over;
    fillForArchiveOf(exact.path(), "110105200801011234.jpg", "一班", 5'000'000);
    fillForArchiveOf(over.path(), "110105200801011234.jpg", "一班", 5'000'001);
    const ProgramRun atLimit = runProgram(LUMO_CLI_PATH, {"pack", exact.path(), "一班"});
    EXPECT_EQ(atLimit.exitCode, 0) << atLimit.err.toStdString();
    EXPECT_EQ(atLimit.out, exact.filePath("一班.zip") + ": 5000000 bytes, 1 photos\n");
    EXPECT_EQ(folderListing(exact.path()), QStringList{"一班.zip"});
    const ProgramRun aboveLimit = runProgram(LUMO_CLI_PATH, {"pack", over.path(), "一班"});
    EXPECT_EQ(aboveLimit.exitCode, 2);
    EXPECT_TRUE(aboveLimit.out.endsWith(": 5000001 bytes, 1 photos\n"));
    EXPECT_TRUE(aboveLimit.err.contains("zip文件超过5M，请手动解压后，处理！"));
}

TEST(LumoCliPack, ExitsWithOneAndKeepsThePhotosWhenNothingCanBePacked)
{
    QTemporaryDir folder;
    const QByteArray photo = putPhoto(folder.path(), "1.jpg", 200'000);
    EXPECT_EQ(runProgram(LUMO_CLI_PATH, {"pack", folder.filePath("missing"), "a"}).exitCode, 1);
    EXPECT_EQ(runProgram(LUMO_CLI_PATH, {"pack", folder.path(), "../a"}).exitCode, 1);
    EXPECT_EQ(runProgram(LUMO_CLI_PATH, {"pack", folder.path()}).exitCode, 1);
    // A file-size limit of 100 KiB is hit while the archive is written.
    const ProgramRun limited =
        runProgram("/bin/bash", {"-c", "ulimit -f 100 && exec \"$0\" pack \"$1\" a", LUMO_CLI_PATH,
                                 folder.path()});
    EXPECT_EQ(limited.exitCode, 1);
    EXPECT_TRUE(limited.err.contains("没有删除")) << limited.err.toStdString();
    EXPECT_EQ(folderListing(folder.path()), QStringList{"1.jpg"});
    EXPECT_EQ(readBytes(folder.filePath("1.jpg")), photo);
}
