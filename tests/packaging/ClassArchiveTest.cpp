#include "packaging/ClassArchive.h"
#include "packaging/ArchiveName.h"
#include "tests/packaging/ZipContents.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace packaging;
using namespace packtest;

namespace {

const QString kClass = QStringLiteral("三年级 二班");

// Runs the work in a child process (for limits and identities the test itself must not take
// on) and returns its exit code, or -1 when it did not exit normally.
int inChildProcess(const std::function<int()> &work)
{
    const pid_t child = fork();
    if (child == 0)
        _exit(work());
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Asserts that the folder holds exactly these photos with these bytes, and nothing half-written.
void expectPhotosUntouched(const QString &folder, const QMap<QString, QByteArray> &photos)
{
    EXPECT_EQ(folderListing(folder), QStringList(photos.keys()));
    for (auto photo = photos.begin(); photo != photos.end(); ++photo)
        EXPECT_EQ(readBytes(QDir(folder).filePath(photo.key())), photo.value())
            << photo.key().toStdString();
}

unsigned permissionsOf(const QString &path)
{
    struct stat status = {};
    ::stat(QFile::encodeName(path).constData(), &status);
    return status.st_mode & 0777;
}

QMap<QString, QByteArray> threePhotos(const QString &folder)
{
    QMap<QString, QByteArray> photos;
    for (quint32 i = 1; i <= 3; ++i) {
        const QString name = QStringLiteral("11010520080101%1.jpg").arg(1000 + i);
        photos.insert(name, putPhoto(folder, name, 50000, i));
    }
    return photos;
}

} // namespace

TEST(ClassArchive, MovesEveryJpegOfTheFolderAndNothingElseIntoTheArchive)
{
    QTemporaryDir folder;
    QMap<QString, QByteArray> photos;
    for (const QString &name : {QStringLiteral("a.jpg"), QStringLiteral("B.JPG"),
                                QStringLiteral("c.Jpg"), QStringLiteral(".hidden.jpg")})
        photos.insert(name, putPhoto(folder.path(), name, 7000, quint32(photos.size() + 1)));
    writeBytes(folder.filePath(QStringLiteral("notes.txt")), "kept");
    writeBytes(folder.filePath(QStringLiteral("other.jpeg")), "kept");
    QDir(folder.path()).mkpath(QStringLiteral("sub.jpg"));
    QDir(folder.path()).mkpath(QStringLiteral("inner"));
    writeBytes(folder.filePath(QStringLiteral("inner/d.jpg")), "kept");

    const PackResult result = packClassArchive(folder.path(), kClass);

    ASSERT_EQ(result.status, PackStatus::Packed) << result.problem.toStdString();
    EXPECT_EQ(result.archivePath, folder.filePath(kClass + QStringLiteral(".zip")));
    EXPECT_EQ(result.photoCount, 4);
    EXPECT_EQ(result.archiveBytes, QFileInfo(result.archivePath).size());
    EXPECT_TRUE(result.photosKept.isEmpty());
    EXPECT_EQ(zipContents(result.archivePath), photos);
    QStringList left{kClass + QStringLiteral(".zip"), QStringLiteral("inner"),
                     QStringLiteral("notes.txt"), QStringLiteral("other.jpeg"),
                     QStringLiteral("sub.jpg")};
    left.sort();
    EXPECT_EQ(folderListing(folder.path()), left);
}

TEST(ClassArchive, SecondRunAddsToTheArchiveAndReplacesSameNamedEntries)
{
    QTemporaryDir folder;
    putPhoto(folder.path(), QStringLiteral("1.jpg"), 3000, 1);
    const QByteArray second = putPhoto(folder.path(), QStringLiteral("2.jpg"), 3000, 2);
    const mode_t mask = umask(022);
    const PackResult first = packClassArchive(folder.path(), kClass);
    umask(mask);
    ASSERT_EQ(first.status, PackStatus::Packed);
    // A new archive can be read by others, as any new file; a second run keeps the permissions.
    EXPECT_EQ(permissionsOf(first.archivePath), 0644u);
    ::chmod(QFile::encodeName(first.archivePath).constData(), 0640);

    const QByteArray retaken = putPhoto(folder.path(), QStringLiteral("1.jpg"), 4000, 3);
    const QByteArray third = putPhoto(folder.path(), QStringLiteral("3.jpg"), 3000, 4);
    const PackResult result = packClassArchive(folder.path(), kClass);

    ASSERT_EQ(result.status, PackStatus::Packed) << result.problem.toStdString();
    EXPECT_EQ(result.photoCount, 2);
    const QMap<QString, QByteArray> expected{{QStringLiteral("1.jpg"), retaken},
                                             {QStringLiteral("2.jpg"), second},
                                             {QStringLiteral("3.jpg"), third}};
    EXPECT_EQ(zipContents(result.archivePath), expected);
    EXPECT_EQ(folderListing(folder.path()), QStringList{kClass + QStringLiteral(".zip")});
    EXPECT_EQ(permissionsOf(result.archivePath), 0640u);
}

TEST(ClassArchive, NamesThatAreNotPlainFileNamesAreRefusedAndNothingIsTouched)
{
    for (const QString &name :
         {QString(), QStringLiteral("a/b"), QStringLiteral("..\\up"), QStringLiteral(".."),
          QStringLiteral("x..y"), QStringLiteral("a\tb"), QStringLiteral("a\nb"),
          QStringLiteral("a") + QChar(0x7f), QStringLiteral("a") + QChar(0)}) {
        EXPECT_FALSE(archiveNameProblem(name).isEmpty()) << name.toStdString();
    }
    for (const QString &name : {kClass, QStringLiteral("2026届 1班"), QStringLiteral("a.b")})
        EXPECT_TRUE(archiveNameProblem(name).isEmpty()) << name.toStdString();

    QTemporaryDir folder;
    const QMap<QString, QByteArray> photos = threePhotos(folder.path());
    const PackResult result = packClassArchive(folder.path(), QStringLiteral("../outside"));
    EXPECT_EQ(result.status, PackStatus::NameRefused);
    EXPECT_FALSE(result.problem.isEmpty());
    expectPhotosUntouched(folder.path(), photos);
}

TEST(ClassArchive, MissingFolderOrFolderWithoutPhotosMakesNoArchive)
{
    QTemporaryDir parent;
    EXPECT_EQ(packClassArchive(parent.filePath(QStringLiteral("missing")), kClass).status,
              PackStatus::FolderMissing);
    writeBytes(parent.filePath(QStringLiteral("file")), "a file where the folder should be");
    EXPECT_EQ(packClassArchive(parent.filePath(QStringLiteral("file")), kClass).status,
              PackStatus::FolderMissing);

    const PackResult empty = packClassArchive(parent.path(), kClass);
    EXPECT_EQ(empty.status, PackStatus::NoPhotos);
    EXPECT_FALSE(empty.problem.isEmpty());
    EXPECT_EQ(folderListing(parent.path()), QStringList{QStringLiteral("file")});
}

TEST(ClassArchiveFailure, AnExistingFileThatIsNoArchiveIsLeftAloneAndNoPhotoRemoved)
{
    QTemporaryDir folder;
    QMap<QString, QByteArray> kept = threePhotos(folder.path());
    const QString archive = kClass + QStringLiteral(".zip");
    kept.insert(archive, "not a zip archive");
    writeBytes(folder.filePath(archive), kept.value(archive));

    const PackResult result = packClassArchive(folder.path(), kClass);
    EXPECT_EQ(result.status, PackStatus::Failed);
    EXPECT_TRUE(result.problem.contains(QStringLiteral("没有删除")))
        << result.problem.toStdString();
    expectPhotosUntouched(folder.path(), kept);
}

TEST(ClassArchiveFailure, AFolderWhereTheArchiveBelongsStopsThePacking)
{
    QTemporaryDir folder;
    const QMap<QString, QByteArray> photos = threePhotos(folder.path());
    QDir(folder.path()).mkdir(kClass + QStringLiteral(".zip"));

    EXPECT_EQ(packClassArchive(folder.path(), kClass).status, PackStatus::Failed);
    QDir(folder.path()).rmdir(kClass + QStringLiteral(".zip"));
    expectPhotosUntouched(folder.path(), photos);
}

TEST(ClassArchiveFailure, APhotoVanishingWhileTheArchiveIsWrittenRemovesNoPhoto)
{
    QTemporaryDir folder;
    QMap<QString, QByteArray> photos = threePhotos(folder.path());
    const QString last = photos.lastKey();
    PackOptions options;
    options.progress = [&](double) { QFile::remove(folder.filePath(last)); };

    const PackResult result = packClassArchive(folder.path(), kClass, options);
    EXPECT_EQ(result.status, PackStatus::Failed);
    EXPECT_FALSE(result.problem.isEmpty());
    photos.remove(last);
    expectPhotosUntouched(folder.path(), photos);
}

TEST(ClassArchiveFailure, AFileSizeLimitHitWhileWritingRemovesNoPhoto)
{
    QTemporaryDir folder;
    const QMap<QString, QByteArray> photos = threePhotos(folder.path());
    const int status = inChildProcess([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{80'000, 80'000};
        setrlimit(RLIMIT_FSIZE, &limit);
        const PackResult result = packClassArchive(folder.path(), kClass);
        return result.problem.isEmpty() ? 100 : int(result.status);
    });
    EXPECT_EQ(status, int(PackStatus::Failed));
    expectPhotosUntouched(folder.path(), photos);
}

TEST(ClassArchiveFailure, AFolderThatCannotBeWrittenRemovesNoPhoto)
{
    QTemporaryDir folder;
    const QMap<QString, QByteArray> photos = threePhotos(folder.path());
    ::chmod(QFile::encodeName(folder.path()).constData(), 0555);
    const int status = inChildProcess([&] {
        // The super-user writes anywhere; the packing runs as an ordinary user instead.
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            return 101;
        const PackResult result = packClassArchive(folder.path(), kClass);
        return result.problem.isEmpty() ? 100 : int(result.status);
    });
    ::chmod(QFile::encodeName(folder.path()).constData(), 0700);
    EXPECT_EQ(status, int(PackStatus::Failed));
    expectPhotosUntouched(folder.path(), photos);
}
