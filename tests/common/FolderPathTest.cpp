// Folder creation, the one atomic writer and the one plain-file-name rule.
#include "common/FolderPath.h"
#include "common/AtomicFile.h"
#include "common/PlainFileName.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    ASSERT_TRUE(writeFileAtomically(target, "new"));
    EXPECT_EQ(readBytes(target), QByteArray("new"));
    EXPECT_EQ(QFile::permissions(target), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                              QFile::ReadUser | QFile::WriteUser)
        << "the target keeps its permissions";
    EXPECT_EQ(entries(folder.path()), QStringList{u"照片.jpg"_s}) << "no partial file is left";

    QString reason;
    EXPECT_FALSE(writeFileAtomically(u"/proc/self/photo.jpg"_s, "x", &reason));
    EXPECT_TRUE(reason.contains(u"/proc/self"_s)) << reason.toStdString();

    // A partial file that is never committed goes away with its writer.
    {
        AtomicFile file(target);
        ASSERT_TRUE(file.write("half"));
    }
    EXPECT_EQ(readBytes(target), QByteArray("new"));
    EXPECT_EQ(entries(folder.path()), QStringList{u"照片.jpg"_s});
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
    EXPECT_EQ(fileNameProblem(u"1101\t0101"), FileNameProblem::ControlCharacter);
    EXPECT_EQ(fileNameProblem(QString(u"1101"_s + QChar(0) + u"1"_s)),
              FileNameProblem::ControlCharacter);
}
