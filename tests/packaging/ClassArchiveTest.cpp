// The class archive: which files it takes, how a second run adds to it, which names it refuses,
// and that no failure ever removes a photo.
#include "packaging/ClassArchive.h"
#include "packaging/ArchiveName.h"
#include "tests/packaging/ZipContents.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace lumo::packaging;
using namespace packtest;

namespace {

const QString kClass = QStringLiteral("三年级 二班");

QMap<QString, QByteArray> threePhotos(const QString &folder)
{
    QMap<QString, QByteArray> photos;
    for (quint32 i = 1; i <= 3; ++i) {
        const QString name = QStringLiteral("11010520080101%1.jpg").arg(1000 + i);
        photos.insert(name, putPhoto(folder, name, 50000, i));
    }
    return photos;
}

// The folder holds exactly these files (a folder for an empty value), and nothing half-written.
void expectFolderHolds(const QString &folder, const QMap<QString, QByteArray> &files, int what)
{
    EXPECT_EQ(folderListing(folder), QStringList(files.keys())) << what;
    for (auto file = files.begin(); file != files.end(); ++file)
        EXPECT_EQ(readBytes(QDir(folder).filePath(file.key())), file.value()) << what;
}

unsigned permissionsOf(const QString &path)
{
    struct stat status = {};
    ::stat(QFile::encodeName(path).constData(), &status);
    return status.st_mode & 0777;
}

} // namespace

TEST(ClassArchive, MovesEveryJpegOfTheFolderAndNothingElseIntoTheArchive)
{
    QTemporaryDir folder;
    QMap<QString, QByteArray> photos;
    for (const char *name : {"a.jpg", "B.JPG", "c.Jpg", ".hidden.jpg"})
        photos.insert(name, putPhoto(folder.path(), name, 7000, quint32(photos.size() + 1)));
    writeBytes(folder.filePath("notes.txt"), "kept");
    writeBytes(folder.filePath("other.jpeg"), "kept");
    QDir(folder.path()).mkpath("sub.jpg");
    QDir(folder.path()).mkpath("inner");
    writeBytes(folder.filePath("inner/d.jpg"), "kept");

    const PackResult result = packClassArchive(folder.path(), kClass);
    ASSERT_EQ(result.status, PackStatus::Packed) << result.problem.toStdString();
    EXPECT_EQ(result.archivePath, folder.filePath(kClass + ".zip"));
    EXPECT_EQ(result.photoCount, 4);
    EXPECT_EQ(result.archiveBytes, QFileInfo(result.archivePath).size());
    EXPECT_TRUE(result.photosKept.isEmpty());
    EXPECT_EQ(zipContents(result.archivePath), photos);
    EXPECT_EQ(folderListing(folder.path()),
              QStringList({"inner", "notes.txt", "other.jpeg", "sub.jpg", kClass + ".zip"}));
}

TEST(ClassArchive, ASecondRunAddsToTheArchiveAndReplacesSameNamedEntries)
{
    QTemporaryDir folder;
    putPhoto(folder.path(), "1.jpg", 3000, 1);
    const QByteArray second = putPhoto(folder.path(), "2.jpg", 3000, 2);
    const mode_t mask = umask(022);
    const PackResult first = packClassArchive(folder.path(), kClass);
    umask(mask);
    ASSERT_EQ(first.status, PackStatus::Packed);
    // A new archive can be read by others, as any new file; a second run keeps the permissions.
    EXPECT_EQ(permissionsOf(first.archivePath), 0644u);
    ::chmod(QFile::encodeName(first.archivePath).constData(), 0640);

    const QByteArray retaken = putPhoto(folder.path(), "1.jpg", 4000, 3);
    const QByteArray third = putPhoto(folder.path(), "3.jpg", 3000, 4);
    const PackResult result = packClassArchive(folder.path(), kClass);
    ASSERT_EQ(result.status, PackStatus::Packed) << result.problem.toStdString();
    EXPECT_EQ(result.photoCount, 2);
    EXPECT_EQ(zipContents(result.archivePath),
              (QMap<QString, QByteArray>{{"1.jpg", retaken}, {"2.jpg", second}, {"3.jpg", third}}));
    EXPECT_EQ(folderListing(folder.path()), QStringList{kClass + ".zip"});
    EXPECT_EQ(permissionsOf(result.archivePath), 0640u);
}

TEST(ClassArchive, NothingIsTouchedForARefusedNameAMissingFolderOrNoPhotos)
{
    // A name that is no plain file name would write outside the folder.
    const QStringList names = {"", "a/b", "..\\up", "x..y", "a\tb", "a\nb", QString(QChar(0))};
    const QStringList problems = {"为空", "“/”", "“/”", "“..”", "控制字符", "控制字符", "控制字符"};
    for (int i = 0; i < names.size(); ++i)
        EXPECT_TRUE(archiveNameProblem(names[i]).contains(problems[i])) << i;
    for (const QString &name : {kClass, QStringLiteral("2026届 1班"), QStringLiteral("a.b")})
        EXPECT_TRUE(archiveNameProblem(name).isEmpty()) << name.toStdString();

    QTemporaryDir folder;
    const QMap<QString, QByteArray> photos = threePhotos(folder.path());
    const PackResult result = packClassArchive(folder.path(), "../outside");
    EXPECT_EQ(result.status, PackStatus::NameRefused);
    EXPECT_EQ(result.problem, archiveNameProblem("../outside"));
    expectFolderHolds(folder.path(), photos, 0);

    EXPECT_EQ(packClassArchive(folder.filePath("missing"), kClass).status,
              PackStatus::FolderMissing);
    EXPECT_EQ(packClassArchive(folder.filePath(photos.firstKey()), kClass).status,
              PackStatus::FolderMissing); // a file where the folder should be
    QDir(folder.path()).mkdir("empty");
    const PackResult empty = packClassArchive(folder.filePath("empty"), kClass);
    EXPECT_EQ(empty.status, PackStatus::NoPhotos);
    EXPECT_FALSE(empty.problem.isEmpty());
    EXPECT_TRUE(folderListing(folder.filePath("empty")).isEmpty());
}

TEST(ClassArchive, NoFailureRemovesAPhotoOrTouchesWhatStoodInTheArchivesPlace)
{
    enum Failure { NotAnArchive, FolderInPlace, PhotoVanishes, FileSizeLimit, FolderLocked };
    const QString archive = kClass + ".zip";
    for (const Failure failure :
         {NotAnArchive, FolderInPlace, PhotoVanishes, FileSizeLimit, FolderLocked}) {
        QTemporaryDir folder;
        QMap<QString, QByteArray> kept = threePhotos(folder.path());
        const QString vanishing = folder.filePath(kept.lastKey());
        PackOptions options;
        if (failure == NotAnArchive) {
            writeBytes(folder.filePath(archive), *kept.insert(archive, "not a zip archive"));
        } else if (failure == FolderInPlace) {
            QDir(folder.path()).mkdir(archive);
            kept.insert(archive, QByteArray());
        } else if (failure == PhotoVanishes) {
            kept.remove(kept.lastKey());
            options.progress = [vanishing](double) { QFile::remove(vanishing); };
        } else if (failure == FolderLocked) {
            ::chmod(QFile::encodeName(folder.path()).constData(), 0555);
        }
        // In a child process, for the limits and identities the test itself must not take on.
        const pid_t child = fork();
        if (child == 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{80'000, 80'000};
            if (failure == FileSizeLimit)
                setrlimit(RLIMIT_FSIZE, &limit);
            // The super-user writes anywhere; the packing runs as an ordinary user instead.
            if (failure == FolderLocked && geteuid() == 0 && (setgid(65534) || setuid(65534)))
                _exit(101);
            const PackResult result = packClassArchive(folder.path(), kClass, options);
            _exit(result.problem.contains("没有删除") ? int(result.status) : 100);
        }
        int status = 0;
        waitpid(child, &status, 0);
        ::chmod(QFile::encodeName(folder.path()).constData(), 0700);
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, int(PackStatus::Failed)) << failure;
        expectFolderHolds(folder.path(), kept, failure);
    }
}
