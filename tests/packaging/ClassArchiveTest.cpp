// The class archive: which files it takes, how a second run adds to it, which names it refuses,
// and that no failure ever removes a photo.
#include "packaging/ClassArchive.h"
#include "packaging/ArchiveName.h"
#include "tests/packaging/ZipContents.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
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
    for (const QString name :
         {"110105200801011001.jpg", "110105200801011002.jpg", "11010520080101100X.jpg"})
        photos.insert(name, putPhoto(folder, name, 50000, quint32(photos.size() + 1)));
    return photos;
}

} // namespace

TEST(ClassArchive, MovesEveryJpegAndNothingElseAndASecondRunAddsToTheArchive)
{
    QTemporaryDir folder;
    QMap<QString, QByteArray> photos;
    for (const char *name : {"a.jpg", "B.JPG", "c.Jpg", ".hidden.jpg"})
        photos.insert(name, putPhoto(folder.path(), name, 7000, quint32(photos.size() + 1)));
    QDir(folder.path()).mkdir("sub.jpg");
    for (const char *kept : {"notes.txt", "other.jpeg", "sub.jpg/d.jpg"})
        writeBytes(folder.filePath(kept), "kept");
    const QStringList left = {"notes.txt", "other.jpeg", "sub.jpg", kClass + ".zip"};
    const std::string archive = QFile::encodeName(folder.filePath(kClass + ".zip")).toStdString();
    auto permissions = [&] { return unsigned(std::filesystem::status(archive).permissions()); };
    const mode_t mask = umask(022);
    const PackResult first = packClassArchive(folder.path(), kClass);
    umask(mask);
    ASSERT_EQ(first.status, PackStatus::Packed) << first.problem.toStdString();
    EXPECT_EQ(first.photoCount, 4);
    EXPECT_TRUE(first.photosKept.isEmpty());
    EXPECT_EQ(zipContents(first.archivePath), photos);
    EXPECT_EQ(folderContents(folder.path()).keys(), left);
    // A new archive can be read by others, as any new file; a second run keeps the permissions.
    EXPECT_EQ(permissions(), 0644u);
    std::filesystem::permissions(archive, std::filesystem::perms(0640));

    photos["a.jpg"] = putPhoto(folder.path(), "a.jpg", 4000, 5); // retaken: replaced
    photos["d.jpg"] = putPhoto(folder.path(), "d.jpg", 3000, 6);
    const PackResult second = packClassArchive(folder.path(), kClass);
    ASSERT_EQ(second.status, PackStatus::Packed) << second.problem.toStdString();
    EXPECT_EQ(second.photoCount, 2);
    EXPECT_EQ(zipContents(second.archivePath), photos);
    EXPECT_EQ(folderContents(folder.path()).keys(), left);
    EXPECT_EQ(permissions(), 0640u);
}

TEST(ClassArchive, NothingIsTouchedForARefusedNameAMissingFolderOrNoPhotos)
{
    // Each kind of name that is no plain file name has its reason (tests/common has more names).
    const std::pair<QString, QString> refusals[] = {
        {"", "为空"}, {"a/b", "“/”"}, {"x..y", "“..”"}, {"a\tb", "控制字符"}};
    for (const auto &[name, problem] : refusals)
        EXPECT_TRUE(archiveNameProblem(name).contains(problem)) << name.toStdString();

    QTemporaryDir folder;
    QMap<QString, QByteArray> kept = threePhotos(folder.path());
    const std::tuple<QString, QString, PackStatus, QString> cases[] = {
        {folder.path(), "../outside", PackStatus::NameRefused, archiveNameProblem("../outside")},
        {folder.filePath("missing"), kClass, PackStatus::FolderMissing, "不存在"},
        {folder.filePath("empty"), kClass, PackStatus::NoPhotos, "没有 JPG"}};
    QDir(folder.path()).mkdir("empty");
    kept.insert("empty", {});
    for (const auto &[path, name, status, problem] : cases) {
        const PackResult result = packClassArchive(path, name);
        EXPECT_EQ(result.status, status) << path.toStdString();
        EXPECT_TRUE(result.problem.contains(problem)) << result.problem.toStdString();
    }
    EXPECT_EQ(folderContents(folder.path()), kept);
}

TEST(ClassArchive, NoFailureRemovesAPhotoOrTouchesWhatStoodInTheArchivesPlace)
{
    enum Failure { NotAnArchive, FolderInPlace, PhotoVanishes, FileSizeLimit, FolderLocked };
    const QString archive = kClass + ".zip";
    for (int failure = NotAnArchive; failure <= FolderLocked; ++failure) {
        QTemporaryDir folder;
        QMap<QString, QByteArray> kept = threePhotos(folder.path());
        PackOptions options;
        if (failure == NotAnArchive) {
            writeBytes(folder.filePath(archive), *kept.insert(archive, "not a zip archive"));
        } else if (failure == FolderInPlace) {
            QDir(folder.path()).mkdir(archive);
            kept.insert(archive, QByteArray());
        } else if (failure == PhotoVanishes) {
            options.progress = [photo = folder.filePath(kept.lastKey())](double) {
                QFile::remove(photo);
            };
            kept.remove(kept.lastKey());
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
            // The archive is named as the operator knows it, never by its partial file.
            const bool told =
                result.problem.contains("没有删除") && !result.problem.contains(".part");
            _exit(told ? int(result.status) : 100);
        }
        int status = 0;
        waitpid(child, &status, 0);
        ::chmod(QFile::encodeName(folder.path()).constData(), 0700);
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, int(PackStatus::Failed)) << failure;
        EXPECT_EQ(folderContents(folder.path()), kept) << failure; // and nothing half-written
    }
}

TEST(ClassArchive, APhotoRewrittenWhileItIsPackedStaysAndIsReported)
{
    // Rewritten after libzip read it, or after the archive was checked: the archive keeps the
    // bytes read, the folder the new photo.
    for (const bool afterCheck : {false, true}) {
        QTemporaryDir folder;
        const QMap<QString, QByteArray> photos = threePhotos(folder.path());
        const QString retaken = photos.firstKey();
        QByteArray newBytes;
        const auto rewrite = [&] {
            if (newBytes.isEmpty())
                newBytes = putPhoto(folder.path(), retaken, 30000, 9);
        };
        PackOptions options;
        if (afterCheck)
            options.beforeRemoving = rewrite;
        else
            options.progress = [&](double done) { done >= 0.5 ? rewrite() : void(); };
        const PackResult result = packClassArchive(folder.path(), kClass, options);
        ASSERT_EQ(result.status, PackStatus::Packed) << result.problem.toStdString();
        EXPECT_EQ(result.photosKept, QStringList{retaken});
        EXPECT_EQ(result.photosChanged, QStringList{retaken});
        EXPECT_EQ(zipContents(result.archivePath), photos);
        EXPECT_EQ(folderContents(folder.path()),
                  (QMap<QString, QByteArray>{{retaken, newBytes},
                                             {kClass + ".zip", readBytes(result.archivePath)}}));
    }
}

TEST(ClassArchive, AKilledPackingLeavesNothingTheNextOneKeepsAndLosesNoPhoto)
{
    // Killed while it copies the earlier archive, and while libzip writes its temporary file.
    for (const bool whileCopying : {true, false}) {
        QTemporaryDir folder;
        QMap<QString, QByteArray> photos; // 32 MiB in the earlier archive, 8 MB of new photos
        const auto add = [&](const QString &name, qsizetype size) {
            photos.insert(name, putPhoto(folder.path(), name, size, quint32(photos.size())));
        };
        for (int i = 0; i < 16; ++i)
            add(QString("old%1.jpg").arg(i), 2 << 20);
        ASSERT_EQ(packClassArchive(folder.path(), kClass).status, PackStatus::Packed);
        for (int i = 0; i < 40; ++i)
            add(QString("%1.jpg").arg(i), 200'000);
        const pid_t child = fork();
        if (child == 0)
            _exit(int(packClassArchive(folder.path(), kClass).status));
        for (bool killed = false; !killed && waitpid(child, nullptr, WNOHANG) == 0;) {
            for (const QFileInfo &file :
                 QDir(folder.path()).entryInfoList(QDir::Files | QDir::Hidden))
                if (!file.fileName().endsWith(".jpg") && file.fileName() != kClass + ".zip" &&
                    (whileCopying ? file.size() > 0 : file.fileName().contains(".part.")))
                    killed = ::kill(child, SIGKILL) == 0;
        }
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status)) << whileCopying;
        const PackResult next = packClassArchive(folder.path(), kClass);
        ASSERT_EQ(next.status, PackStatus::Packed) << next.problem.toStdString();
        EXPECT_EQ(folderContents(folder.path()).keys(), QStringList{kClass + ".zip"})
            << whileCopying;
        EXPECT_EQ(zipContents(next.archivePath), photos) << whileCopying;
    }
}

TEST(ClassArchive, NamesKeepTheirBytesAndOnlyUtf8NamesAreMarkedAsUtf8)
{
    QTemporaryDir folder;
    // "张三.jpg" as a Windows computer in China writes it (GBK), and as Lumo writes it (UTF-8).
    const char *gbk = "\xd5\xc5\xc8\xfd.jpg";
    const QString utf8 = QStringLiteral("张三.jpg");
    const auto putGbkPhoto = [&](const QByteArray &bytes) {
        std::ofstream(QFile::encodeName(folder.path()).toStdString() + "/" + gbk, std::ios::binary)
            << bytes.toStdString();
    };
    putGbkPhoto(QByteArray(3000, 'a'));
    putPhoto(folder.path(), utf8, 3000, 2);
    const PackResult first = packClassArchive(folder.path(), kClass);
    ASSERT_EQ(first.status, PackStatus::Packed) << first.problem.toStdString();
    putGbkPhoto(QByteArray(2000, 'b'));
    ASSERT_EQ(packClassArchive(folder.path(), kClass).status, PackStatus::Packed);

    zip_t *archive = zip_open(QFile::encodeName(folder.filePath(kClass + ".zip")).constData(),
                              ZIP_RDONLY, nullptr);
    ASSERT_TRUE(archive);
    ASSERT_EQ(zip_get_num_entries(archive, 0), 2); // the retaken photo replaced its entry
    QMap<QByteArray, QByteArray> asStored; // raw name → name read as the archive's flags say
    zip_stat_t gbkEntry = {};
    for (zip_uint64_t i = 0; i < 2; ++i) {
        asStored.insert(zip_get_name(archive, i, ZIP_FL_ENC_RAW),
                        zip_get_name(archive, i, ZIP_FL_ENC_STRICT));
        if (QByteArray(zip_get_name(archive, i, ZIP_FL_ENC_RAW)) == gbk)
            zip_stat_index(archive, i, 0, &gbkEntry);
    }
    zip_discard(archive);
    EXPECT_EQ(gbkEntry.size, 2000u);
    EXPECT_EQ(asStored.keys(), (QList<QByteArray>{gbk, utf8.toUtf8()}));
    EXPECT_EQ(asStored.value(utf8.toUtf8()), utf8.toUtf8());
    EXPECT_NE(asStored.value(gbk), gbk); // not marked as UTF-8: read in the reader's code page
}
