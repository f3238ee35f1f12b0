// "lumo-cli pack" as a script runs it: what it prints and its exit status.
#include "packaging/ClassArchive.h"
#include "tests/packaging/ZipContents.h"
#include "tests/support/ProgramRun.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>

using namespace packtest;

TEST(LumoCliPack, PrintsTheArchiveAndExitsWithThreeOnlyAboveFiveMillionBytes)
{
    // An archive of one photo is the photo and an overhead, measured by packing a 1000-byte one.
    QTemporaryDir scratch, exact, over;
    putPhoto(scratch.path(), "1.jpg", 1000);
    const qint64 small = lumo::packaging::packClassArchive(scratch.path(), "一班").archiveBytes;
    putPhoto(exact.path(), "1.jpg", 5'000'000 - (small - 1000), 2);
    putPhoto(over.path(), "1.jpg", 5'000'001 - (small - 1000), 3);
    const ProgramRun atLimit = runProgram(LUMO_CLI_PATH, {"pack", exact.path(), "一班"});
    EXPECT_EQ(atLimit.exitCode, 0) << atLimit.err.toStdString();
    EXPECT_EQ(atLimit.out, exact.filePath("一班.zip") + ": 5000000 bytes, 1 photos\n");
    const ProgramRun aboveLimit = runProgram(LUMO_CLI_PATH, {"pack", over.path(), "一班"});
    EXPECT_EQ(aboveLimit.exitCode, 3);
    EXPECT_TRUE(aboveLimit.out.endsWith(": 5000001 bytes, 1 photos\n"));
    EXPECT_TRUE(aboveLimit.err.contains("larger than 5000000 bytes"))
        << aboveLimit.err.toStdString();
}

TEST(LumoCliPack, ExitsWithOneWhenNothingIsPackedAndTwoWhenNothingCanBe)
{
    QTemporaryDir folder;
    EXPECT_EQ(runProgram(LUMO_CLI_PATH, {"pack", folder.path(), "a"}).exitCode, 1); // no photos
    putPhoto(folder.path(), "1.jpg", 200'000);
    EXPECT_EQ(runProgram(LUMO_CLI_PATH, {"pack", folder.filePath("missing"), "a"}).exitCode, 2);
    EXPECT_EQ(runProgram(LUMO_CLI_PATH, {"pack", folder.path()}).exitCode, 2); // no NAME
    EXPECT_EQ(runProgram(LUMO_CLI_PATH, {"pack", folder.path(), "../a"}).exitCode, 2);
    // A file-size limit of 100 KiB is hit while the archive is written: reported, not a crash.
    const ProgramRun limited =
        runProgram("/bin/bash", {"-c", "ulimit -f 100 && exec \"$0\" pack \"$1\" a", LUMO_CLI_PATH,
                                 folder.path()});
    EXPECT_EQ(limited.exitCode, 1);
    EXPECT_TRUE(limited.err.contains("every photo is still in")) << limited.err.toStdString();
}

TEST(LumoCliPack, PacksAFolderNamedInGbk)
{
    // "照片" in GBK, as a USB stick from Windows holds it; the shell passes the name as bytes.
    QTemporaryDir root;
    const QByteArray folder = QFile::encodeName(root.path()) + "/\xD5\xD5\xC6\xAC";
    ASSERT_EQ(::mkdir(folder.constData(), 0700), 0);
    putPhoto(root.path(), "1.jpg", 1000);
    ASSERT_EQ(::rename(QFile::encodeName(root.filePath("1.jpg")).constData(),
                       (folder + "/1.jpg").constData()),
              0);
    const ProgramRun run = runProgram(
        "/bin/sh", {"-c", "cd \"$1\" && exec \"$0\" pack * 一班", LUMO_CLI_PATH, root.path()});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.outBytes.startsWith("\xD5\xD5\xC6\xAC/一班.zip: ")) << run.out.toStdString();
    struct stat archive = {};
    EXPECT_EQ(::stat((folder + "/一班.zip").constData(), &archive), 0);
    EXPECT_NE(::stat((folder + "/1.jpg").constData(), &archive), 0);
}
