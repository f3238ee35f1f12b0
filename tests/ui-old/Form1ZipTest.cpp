// The archive button on Qt's offscreen platform: the questions and messages it gives, and the
// archive it leaves in the output folder.
#include "app/Form1.h"
#include "app/PictureBox.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/packaging/ZipContents.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace packtest;

namespace {

const QString kCancelled = QStringLiteral("操作被取消或未输入文件名!");
const QString kFolderMissing = QStringLiteral("ZIP文件必须同图片文件在同一目录,请修改设置");
const QString kTooLarge = QStringLiteral("zip文件超过5M，请手动解压后，处理！");

class ArchiveButton : public MainWindow
{
protected:
    void SetUp() override
    {
        start();
        showActive();
        QDir(home.path()).mkdir(QStringLiteral("照片"));
        form->TextOutPath->setText(outputFolder());
        form->TextBanJi->setText(QStringLiteral("三年级二班"));
    }
    QString outputFolder() const { return home.filePath(QStringLiteral("照片")); }
    QString archive(const QString &name) const
    {
        return QDir(outputFolder()).filePath(name + QStringLiteral(".zip"));
    }
    void pressWithName(const std::optional<QString> &typed)
    {
        dialogs.textAnswer = typed;
        form->CommandToZip->click();
    }
};

} // namespace

TEST_F(ArchiveButton, OffersTheClassNameAndMovesThePhotosIntoTheArchive)
{
    const QByteArray photo = putPhoto(outputFolder(), QStringLiteral("110105200801011234.jpg"));
    // A folder text ending in a separator, as the default one does, is used as it is.
    form->TextOutPath->setText(outputFolder() + QStringLiteral("/"));
    form->TextSay1->setFocus();
    pressWithName(QStringLiteral(" 三年级二班 "));

    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("三年级二班"));
    EXPECT_EQ(dialogs.textPrompts, QStringList{QStringLiteral(
                                       "请输入压缩包文件名,班级名称己复制到剪贴板,直接粘贴即可!")});
    EXPECT_EQ(dialogs.textTitles, QStringList{QStringLiteral("压缩包文件名设置")});
    EXPECT_EQ(dialogs.textDefaults, QStringList{QString()});
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join(u'\n').toStdString();
    EXPECT_EQ(zipContents(archive(QStringLiteral("三年级二班"))),
              (QMap<QString, QByteArray>{{QStringLiteral("110105200801011234.jpg"), photo}}));
    EXPECT_EQ(folderListing(outputFolder()), QStringList{QStringLiteral("三年级二班.zip")});
    EXPECT_EQ(shell.openedFolders, QStringList{outputFolder() + QStringLiteral("/")});
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(form->Picture1->hasFocus());
}

TEST_F(ArchiveButton, CancelEmptyNameAndMissingFolderStartNothing)
{
    putPhoto(outputFolder(), QStringLiteral("1.jpg"));
    pressWithName(std::nullopt);
    pressWithName(QString());
    pressWithName(QStringLiteral("   "));
    EXPECT_EQ(dialogs.messages, (QStringList{kCancelled, kCancelled, kCancelled}));
    EXPECT_EQ(dialogs.titles, (QStringList{QStringLiteral("警告"), QStringLiteral("警告"),
                                           QStringLiteral("警告")}));

    form->TextOutPath->setText(home.filePath(QStringLiteral("没有这个目录")));
    pressWithName(QStringLiteral("一班"));
    EXPECT_EQ(dialogs.messages.last(), kFolderMissing);
    EXPECT_EQ(dialogs.titles.last(), QString());

    EXPECT_TRUE(shell.openedFolders.isEmpty());
    EXPECT_EQ(folderListing(outputFolder()), QStringList{QStringLiteral("1.jpg")});
    EXPECT_TRUE(form->Picture1->hasFocus());
}

TEST_F(ArchiveButton, WarnsOnlyWhenTheArchiveIsLargerThanFiveMillionBytes)
{
    const QString photo = QStringLiteral("110105200801011234.jpg");
    fillForArchiveOf(outputFolder(), photo, QStringLiteral("刚好"), 5'000'000);
    pressWithName(QStringLiteral("刚好"));
    EXPECT_EQ(QFileInfo(archive(QStringLiteral("刚好"))).size(), 5'000'000);
    EXPECT_TRUE(dialogs.messages.isEmpty());

    fillForArchiveOf(outputFolder(), photo, QStringLiteral("多一"), 5'000'001);
    pressWithName(QStringLiteral("多一"));
    EXPECT_EQ(QFileInfo(archive(QStringLiteral("多一"))).size(), 5'000'001);
    EXPECT_EQ(dialogs.messages, QStringList{kTooLarge});
    EXPECT_EQ(dialogs.titles, QStringList{QString()});
}

TEST_F(ArchiveButton, AFailureIsToldAndKeepsEveryPhoto)
{
    const QByteArray photo = putPhoto(outputFolder(), QStringLiteral("1.jpg"));
    writeBytes(archive(QStringLiteral("一班")), "not a zip archive");
    pressWithName(QStringLiteral("一班"));
    pressWithName(QStringLiteral("../一班"));

    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_TRUE(dialogs.messages[0].startsWith(QStringLiteral("打包失败")));
    EXPECT_TRUE(dialogs.messages[1].contains(QStringLiteral("不能包含")));
    EXPECT_EQ(readBytes(QDir(outputFolder()).filePath(QStringLiteral("1.jpg"))), photo);
    EXPECT_TRUE(shell.openedFolders.isEmpty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
