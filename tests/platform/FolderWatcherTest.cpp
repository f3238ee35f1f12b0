// The watched folder on the real file system, written to as a tethered camera program does.
#include "platform/desktop/FolderWatcher.h"

#include <QBuffer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using lumo::platform::FolderWatch;
using lumo::platform::FolderWatcher;

TEST(FolderWatcher, TakesEachNewPictureOnceAndOnlyWhenWhole)
{
    QImage picture(800, 600, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x % 256, (x * y) % 256, y % 256));
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly) && picture.save(&buffer, "JPEG", 90));
    QTemporaryDir folder;
    const auto write = [&](const QString &name, const QByteArray &bytes) {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::Append) && file.write(bytes) == bytes.size());
    };
    write("there-before.jpg", jpeg);
    FolderWatcher watcher;
    QSignalSpy arrived(&watcher, &FolderWatch::pictureArrived);
    watcher.watch(folder.path());

    // Half a picture, unchanged long enough to be read, is not taken.
    write("IMG_0001.JPG", jpeg.left(jpeg.size() / 2));
    write("notes.txt", "not a picture");
    write("broken.jpeg", QByteArray(5000, 'x'));
    write(".IMG_0002.png", jpeg);
    QTest::qWait(1000);
    EXPECT_TRUE(arrived.isEmpty());
    write("IMG_0001.JPG", jpeg.mid(jpeg.size() / 2));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !arrived.isEmpty(); }, 2000));
    EXPECT_EQ(arrived.last().at(1).toString(), folder.filePath("IMG_0001.JPG"));
    EXPECT_EQ(arrived.last().at(0).value<QImage>(), QImage::fromData(jpeg));

    // A picture written under a hidden name and renamed when done, as many programs do.
    ASSERT_TRUE(QFile::rename(folder.filePath(".IMG_0002.png"), folder.filePath("IMG_0002.png")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return arrived.size() == 2; }, 2000));
    EXPECT_EQ(arrived.last().at(1).toString(), folder.filePath("IMG_0002.png"));
    QTest::qWait(3500); // past the time the damaged one is given
    EXPECT_EQ(arrived.size(), 2);

    watcher.watch(QString());
    write("IMG_0003.jpg", jpeg);
    QTest::qWait(500);
    EXPECT_EQ(arrived.size(), 2);
}
