// Folder creation, the one atomic writer, the capped reader, the plain-file-name rule and file
// names kept as bytes.
#include "common/AtomicFile.h"
#include "common/FolderPath.h"
#include "common/NativePath.h"
#include "common/PlainFileName.h"
#include "tests/support/TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace lumo::common;
using namespace Qt::Literals::StringLiterals;

namespace {

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden);
}

} // namespace

TEST(FolderPath, CreatesEveryMissingLevelAndStopsAtAFile)
{
    QTemporaryDir root;
    const QString deep = root.filePath(u"学籍照片/2026/一班"_s);
    EXPECT_TRUE(makeFolderPath(u"  "_s + deep + u"/  "_s));
    EXPECT_TRUE(QFileInfo(deep).isDir());
    EXPECT_TRUE(makeFolderPath(deep)) << "existing folders are fine";

    writeBytes(root.filePath(u"plain"_s), "x");
    EXPECT_FALSE(makeFolderPath(root.filePath(u"plain"_s)));
    EXPECT_FALSE(makeFolderPath(root.filePath(u"plain/below"_s)));
    EXPECT_FALSE(makeFolderPath(u"/proc/lumo-cannot-exist/x"_s));
    EXPECT_FALSE(makeFolderPath(QString()));
}

TEST(AtomicFile, ReplacesTheTargetWholeOrLeavesItAsItWas)
{
    QTemporaryDir folder;
    const QString target = folder.filePath(u"照片.jpg"_s);
    writeBytes(target, QByteArray(100000, 'o'));
    const auto readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadUser;
    QFile::setPermissions(target, readOnly);
    {
        AtomicFile file(target);
        ASSERT_TRUE(file.write("new"));
        EXPECT_EQ(file.readBack(), QByteArray("new"));
        EXPECT_EQ(entries(folder.path()), QStringList{u"照片.jpg"_s}) << "no name before commit";
        ASSERT_TRUE(file.commit());
    }
    EXPECT_EQ(readBytes(target), QByteArray("new"));
    const auto whoeverAsks = QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;
    EXPECT_EQ(QFile::permissions(target) & ~whoeverAsks, readOnly & ~whoeverAsks)
        << "the target keeps its mode";

    QString reason;
    EXPECT_FALSE(writeFileAtomically(u"/proc/self/photo.jpg"_s, "x", &reason));
    EXPECT_TRUE(reason.contains(u"/proc/self"_s)) << reason.toStdString();
    {
        AtomicFile file(target); // never committed: gone with its writer
        ASSERT_TRUE(file.write("half"));
    }
    EXPECT_EQ(readBytes(target), QByteArray("new"));
    EXPECT_EQ(entries(folder.path()), QStringList{u"照片.jpg"_s});
}

TEST(AtomicFile, WritesThroughLinksKeepsOwnersAndClearsWhatDeadWritersLeft)
{
    QTemporaryDir folder, elsewhere;
    const QString real = elsewhere.filePath(u"class.xls"_s);
    writeBytes(real, "old");
    ASSERT_TRUE(QFile::link(real, folder.filePath(u"class.xls"_s)));
    ASSERT_TRUE(writeFileAtomically(folder.filePath(u"class.xls"_s), "marked"));
    EXPECT_EQ(readBytes(real), QByteArray("marked"));
    EXPECT_TRUE(QFileInfo(folder.filePath(u"class.xls"_s)).isSymLink());

    if (::geteuid() == 0) { // only the super-user may give a file to someone else
        ASSERT_EQ(::chown(QFile::encodeName(real).constData(), 65534, 65534), 0);
        ASSERT_TRUE(writeFileAtomically(real, "again"));
        EXPECT_EQ(QFileInfo(real).ownerId(), 65534u);
        EXPECT_EQ(QFileInfo(real).groupId(), 65534u);
    }

    // A partial file of a process that is gone, one of a living process, and the target.
    QProcess gone;
    gone.start(u"true"_s);
    const qint64 gonePid = gone.processId();
    ASSERT_TRUE(gone.waitForFinished());
    const QString stale = u".a.zip.%1.0000abcd.part"_s.arg(gonePid);
    const QString stalesTemporary = stale + u".Xy12Zq"_s;
    const QString living = u".a.zip.%1.0000abcd.part"_s.arg(QCoreApplication::applicationPid());
    for (const QString &name : {stale, stalesTemporary, living, u"a.zip"_s})
        writeBytes(folder.filePath(name), "x");
    {
        AtomicFile archive(folder.filePath(u"a.zip"_s), AtomicFile::Content::ByOtherWriter);
        EXPECT_TRUE(QFileInfo(archive.partialPath()).fileName().startsWith(u".a.zip."_s));
    }
    EXPECT_EQ(entries(folder.path()), (QStringList{living, u"a.zip"_s, u"class.xls"_s}));
}

TEST(ReadRegularFile, RefusesPipesAndDevicesAndReadsWithAHardCap)
{
    QTemporaryDir folder;
    const QString pipe = folder.filePath(u"pipe"_s);
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QByteArray bytes;
    QString error;
    for (const QString &path : {pipe, u"/dev/zero"_s, folder.path()})
        EXPECT_FALSE(readRegularFile(path, 1000, &bytes, &error)) << path.toStdString();
    writeBytes(folder.filePath(u"list.csv"_s), QByteArray(1001, 'a'));
    EXPECT_FALSE(readRegularFile(folder.filePath(u"list.csv"_s), 1000, &bytes, &error));
    EXPECT_TRUE(error.contains(u"1000"_s));
    ASSERT_TRUE(readRegularFile(folder.filePath(u"list.csv"_s), 1001, &bytes, &error));
    EXPECT_EQ(bytes.size(), 1001);
}

TEST(PlainFileName, OnlyNamesInsideTheFolder)
{
    EXPECT_TRUE(isPlainFileName(u"11010520080101123X"));
    EXPECT_TRUE(isPlainFileName(u"三年级 二班.a"));
    EXPECT_EQ(fileNameProblem(u""), FileNameProblem::Empty);
    for (const char16_t *name : {u"../../etc/passwd", u"110105/2008", u"110105\\2008"})
        EXPECT_NE(fileNameProblem(name), FileNameProblem::None);
    EXPECT_EQ(fileNameProblem(u"..123456"), FileNameProblem::ParentReference);
    EXPECT_EQ(fileNameProblem(u"1101\n0101"), FileNameProblem::ControlCharacter);
    EXPECT_EQ(fileNameProblem(QString(u"1101"_s + QChar(0) + u"1"_s)),
              FileNameProblem::ControlCharacter);
}

TEST(NativePath, EveryByteOfANameSurvivesAndTheFileIsFoundWrittenAndRead)
{
    // GBK "张三", an overlong "/", a cut sequence, an encoded surrogate, and valid UTF-8 around.
    for (const QByteArray &bytes :
         {QByteArray("\xD5\xC5\xC8\xFD.jpg"), QByteArray("\x61\xC0\xAF\x62"),
          QByteArray("\xE5\xBC"), QByteArray("\xED\xB3\x95"), QByteArray("张\xFF\xF0\x9F\x98\x80")})
        EXPECT_EQ(encodePath(decodePath(bytes)), bytes) << bytes.toHex().toStdString();
    EXPECT_EQ(decodePath("学籍照片/1.jpg"), u"学籍照片/1.jpg"_s);

    QTemporaryDir folder;
    const QString gbkFolder = folder.filePath(decodePath("\xD5\xD5\xC6\xAC")); // 照片
    ASSERT_EQ(::mkdir(encodePath(gbkFolder).constData(), 0700), 0);
    const QString photo = gbkFolder + u'/' + decodePath("\xD5\xC5\xC8\xFD.jpg");
    ASSERT_TRUE(writeFileAtomically(photo, "photo"));
    EXPECT_EQ(pathKind(gbkFolder), PathKind::Folder);
    EXPECT_EQ(pathKind(photo), PathKind::File);
    EXPECT_EQ(fileNamesIn(gbkFolder), QStringList{decodePath("\xD5\xC5\xC8\xFD.jpg")});
    QByteArray bytes;
    QString error;
    EXPECT_TRUE(readRegularFile(photo, 100, &bytes, &error)) << error.toStdString();
    EXPECT_EQ(bytes, "photo");
}
