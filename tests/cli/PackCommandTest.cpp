// "lumo-cli pack" as a script runs it: what it prints and its exit status.
#include "tests/packaging/ZipContents.h"
#include "tests/support/ProgramRun.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace packtest;

namespace {

ProgramRun pack(const QString &folder, const QString &name)
{
    return runProgram(QStringLiteral(LUMO_CLI_PATH), {QStringLiteral("pack"), folder, name});
}

} // namespace

TEST(LumoCliPack, PrintsTheArchiveItsSizeAndThePhotoCount)
{
    QTemporaryDir folder;
    const QByteArray first = putPhoto(folder.path(), QStringLiteral("1.jpg"), 6000, 1);
    const QByteArray second = putPhoto(folder.path(), QStringLiteral("2.JPG"), 6000, 2);

    const ProgramRun packed = pack(folder.path(), QStringLiteral("三年级 二班"));
    EXPECT_EQ(packed.exitCode, 0) << packed.err.toStdString();
    const QString archive = folder.filePath(QStringLiteral("三年级 二班.zip"));
    EXPECT_EQ(
        packed.out,
        QStringLiteral("%1: %2 bytes, 2 photos\n").arg(archive).arg(QFileInfo(archive).size()));
    EXPECT_EQ(zipContents(archive), (QMap<QString, QByteArray>{{QStringLiteral("1.jpg"), first},
                                                               {QStringLiteral("2.JPG"), second}}));
    EXPECT_EQ(folderListing(folder.path()), QStringList{QStringLiteral("三年级 二班.zip")});
}

TEST(LumoCliPack, ExitsWithTwoOnlyAboveFiveMillionBytes)
{
    QTemporaryDir exact, over;
    const QString photo = QStringLiteral("110105200801011234.jpg");
    fillForArchiveOf(exact.path(), photo, QStringLiteral("一班"), 5'000'000);
    fillForArchiveOf(over.path(), photo, QStringLiteral("一班"), 5'000'001);

    const ProgramRun atLimit = pack(exact.path(), QStringLiteral("一班"));
    EXPECT_EQ(atLimit.exitCode, 0);
    EXPECT_TRUE(atLimit.out.contains(QStringLiteral(": 5000000 bytes, 1 photos")));
    const ProgramRun aboveLimit = pack(over.path(), QStringLiteral("一班"));
    EXPECT_EQ(aboveLimit.exitCode, 2);
    EXPECT_TRUE(aboveLimit.out.contains(QStringLiteral(": 5000001 bytes, 1 photos")));
    EXPECT_TRUE(aboveLimit.err.contains(QStringLiteral("zip文件超过5M，请手动解压后，处理！")));
}

TEST(LumoCliPack, ExitsWithOneAndKeepsThePhotosWhenNothingCanBePacked)
{
    QTemporaryDir folder;
    const QByteArray photo = putPhoto(folder.path(), QStringLiteral("1.jpg"), 200'000);

    EXPECT_EQ(pack(folder.filePath(QStringLiteral("missing")), QStringLiteral("a")).exitCode, 1);
    EXPECT_EQ(pack(folder.path(), QStringLiteral("../a")).exitCode, 1);
    EXPECT_EQ(
        runProgram(QStringLiteral(LUMO_CLI_PATH), {QStringLiteral("pack"), folder.path()}).exitCode,
        1);

    // A file-size limit of 100 KiB is hit while the archive is written.
    const ProgramRun limited = runProgram(
        QStringLiteral("/bin/bash"),
        {QStringLiteral("-c"), QStringLiteral("ulimit -f 100 && exec \"$0\" pack \"$1\" a"),
         QStringLiteral(LUMO_CLI_PATH), folder.path()});
    EXPECT_EQ(limited.exitCode, 1);
    EXPECT_TRUE(limited.err.contains(QStringLiteral("没有删除"))) << limited.err.toStdString();
    EXPECT_EQ(folderListing(folder.path()), QStringList{QStringLiteral("1.jpg")});
    EXPECT_EQ(readBytes(folder.filePath(QStringLiteral("1.jpg"))), photo);
}
