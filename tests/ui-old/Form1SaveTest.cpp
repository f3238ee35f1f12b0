#include "app/Form1.h"
#include "app/PictureBox.h"
#include "photo/PictureFile.h"
#include "tests/photo/PhotoTestImages.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/TestFiles.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class Form1SaveTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        form.XueShengXinXi.setCell(1, RosterTable::kName, QStringLiteral("张三"));
        form.XueShengXinXi.setCell(1, RosterTable::kIdNumber, QStringLiteral("11010520080101123X"));
        form.NowXS = 1;
        form.TextOutPath->setText(root.filePath(QStringLiteral("zhaopian")) + QStringLiteral("/"));
        form.TextBakPath->setText(root.filePath(QStringLiteral("bak")));
        QDir(root.path()).mkdir(QStringLiteral("bak"));
        form.Picture1->setImage(phototest::gradientImage(300, 369));
    }

    QTemporaryDir root;
    FakeDesktop desktop;
    FakeDialogs &dialogs = desktop.dialogs;
    ProgramEnvironment environment = desktop.environment(root.path(), root.path(), root.path());
    Form1 form{environment};
};

} // namespace

TEST_F(Form1SaveTest, SaveButtonWritesTheCurrentStudentsPhoto)
{
    form.WZsaVe->click();
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join(u'|').toStdString();
    EXPECT_EQ(form.TextOutPath->text(), root.filePath(QStringLiteral("zhaopian")));
    const QString photoPath = root.filePath(QStringLiteral("zhaopian/11010520080101123X.jpg"));
    const QImage photo = photo::LoadPicture(photoPath);
    EXPECT_EQ(photo.size(), QSize(260, 320));
    EXPECT_EQ(photo::dotsPerInch(photo), 254);
    EXPECT_TRUE(QFileInfo::exists(root.filePath(QStringLiteral("bak/11010520080101123X.jpg"))));
    EXPECT_EQ(form.PictureMiaodian->image().size(), QSize(260, 320));
    EXPECT_EQ(form.PictureStmp->image().size(), QSize(300, 369));
}

TEST_F(Form1SaveTest, SwitchesComeFromTheCheckBoxes)
{
    form.CheckDpi->setChecked(false);
    form.CheckAutoBak->setChecked(false);
    form.CheckAutoYaSuo->setChecked(false);
    form.WZsaVe_Click();
    const QString photoPath = root.filePath(QStringLiteral("zhaopian/11010520080101123X.jpg"));
    EXPECT_TRUE(phototest::isBitmapFile(readBytes(photoPath)));
    EXPECT_FALSE(QFileInfo::exists(root.filePath(QStringLiteral("bak/11010520080101123X.jpg"))));
}

TEST_F(Form1SaveTest, AFailedStepIsShownAndTheProgramGoesOn)
{
    writeBytes(root.filePath(QStringLiteral("blocked")), "a file, not a folder");
    form.TextOutPath->setText(root.filePath(QStringLiteral("blocked/zhaopian")));
    form.WZsaVe_Click();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages.first().contains(QStringLiteral("blocked")))
        << dialogs.messages.first().toStdString();

    // The next save works again.
    form.TextOutPath->setText(root.filePath(QStringLiteral("zhaopian")));
    form.WZsaVe_Click();
    EXPECT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(
        QFileInfo::exists(root.filePath(QStringLiteral("zhaopian/11010520080101123X.jpg"))));
}

TEST_F(Form1SaveTest, TheNameComesFromTheRosterRow)
{
    form.NowXS = 2; // past the end of the list
    form.WZsaVe_Click();
    EXPECT_EQ(dialogs.messages, QStringList{QStringLiteral("已经是最后1位学生。")});
}
