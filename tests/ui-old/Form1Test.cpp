// The main window on Qt's offscreen platform: start-up, settings, switches and frame geometry.
#include "app/Form1.h"
#include "app/ClickableLabel.h"
#include "app/PictureBox.h"
#include "frame/XiangKuang.h"
#include "settings/SettingsFile.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/support/TestFiles.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

TEST_F(MainWindow, FirstRunWritesTheDefaultsAndPlacesBothWindows)
{
    start();
    EXPECT_EQ(readBytes(programSettings()), settings::encode(defaults()));
    EXPECT_TRUE(QFileInfo(home.filePath(QStringLiteral("学籍照片备份"))).isDir());
    EXPECT_TRUE(dialogs.messages.isEmpty());

    EXPECT_EQ(form->windowTitle(), QStringLiteral("Lumov2.0"));
    EXPECT_EQ(form->ZhaoPKuan->text(), QStringLiteral("180"));
    EXPECT_EQ(form->ZhaoPGao->text(), QStringLiteral("240"));
    EXPECT_EQ(form->programWide.QjZhaoPKuan, 180);
    EXPECT_EQ(form->programWide.QjZhaoPGao, 240);

    XiangKuang *frame = form->xiangKuang();
    EXPECT_EQ(frame->Width(), 3000);
    EXPECT_EQ(frame->Height(), 3900) << "the frame takes the loaded photo height";
    EXPECT_EQ(frame->Left(), 0);
    EXPECT_EQ(frame->Top(), 0);
    EXPECT_EQ(form->Left(), 3000);
    EXPECT_EQ(form->Top(), 0);
    EXPECT_EQ(form->Width(), 8475);
    EXPECT_EQ(form->Height(), 8100);

    // The loaded switches have run their reactions before the window is shown.
    EXPECT_TRUE(form->FrameYuYin->isHidden()) << "voice prompts off";
    EXPECT_FALSE(form->TextBakPath->isEnabled()) << "backup off";
    EXPECT_TRUE(form->WzPai->isHidden());
    EXPECT_TRUE(form->WZsaVe->isHidden());
    EXPECT_TRUE(form->FrameSysSetting->isHidden());
    EXPECT_FALSE(form->TextGongNeng->isHidden());
    EXPECT_TRUE(form->LabelQjKK->isHidden());
    EXPECT_EQ(form->TextGongNeng->toPlainText().split(u'\n').size(), 9);
}

TEST_F(MainWindow, StoredSettingsFillTheControls)
{
    settings::SettingValues values = defaults();
    values[1] = QStringLiteral("390");
    values[2] = QStringLiteral("480");
    values[8] = QStringLiteral("请到");
    values[11] = QStringLiteral("0");
    values[13] = QStringLiteral("1");
    values[15] = QStringLiteral("37");
    values[20] = QStringLiteral("2");
    writeSettings(values);
    const QByteArray before = readBytes(programSettings());

    start();
    EXPECT_EQ(readBytes(programSettings()), before) << "loading does not rewrite a good file";
    EXPECT_EQ(form->programWide.QjZhaoPKuan, 390);
    EXPECT_EQ(form->programWide.QjZhaoPGao, 480);
    EXPECT_EQ(form->xiangKuang()->Width(), 6150);
    EXPECT_EQ(form->xiangKuang()->Height(), 7500);
    EXPECT_EQ(form->Left(), 6150);
    EXPECT_EQ(form->TextSay1->text(), QStringLiteral("请到"));
    EXPECT_FALSE(form->FrameYuYin->isHidden());
    EXPECT_TRUE(form->TextBakPath->isEnabled());
    EXPECT_EQ(form->CheckDpi->checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(form->NowXS, 37);
    EXPECT_EQ(form->TextNowXS->text(), QStringLiteral("000")) << "the view moves only later";
}

TEST_F(MainWindow, ABrokenFileIsResetAndRewrittenSilently)
{
    settings::SettingValues values = defaults();
    values[1] = QStringLiteral("390");
    QByteArray bytes = settings::encode(values);
    bytes.chop(QByteArray("\"1\"\r\n").size()); // line 20 missing
    writeBytes((QDir(program.path()).mkpath(QStringLiteral("config")), programSettings()), bytes);

    start();
    EXPECT_EQ(readBytes(programSettings()), settings::encode(defaults()));
    EXPECT_EQ(form->ZhaoPKuan->text(), QStringLiteral("180"));
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(MainWindow, ShutDownWritesTheControlsBack)
{
    start();
    form->ZhaoPKuan->setText(QStringLiteral("390"));
    form->TextSay2->setText(QStringLiteral("同学，请到前面来"));
    form->CheckAutoBak->setChecked(true);
    form->close();

    const auto saved = settings::readFile(programSettings());
    ASSERT_TRUE(saved);
    EXPECT_EQ((*saved)[1], QStringLiteral("390"));
    EXPECT_EQ((*saved)[2], QStringLiteral("480"));
    EXPECT_EQ((*saved)[4], QStringLiteral("5850"));
    EXPECT_EQ((*saved)[5], QStringLiteral("7200"));
    EXPECT_EQ((*saved)[9], QStringLiteral("同学，请到前面来"));
    EXPECT_EQ((*saved)[13], QStringLiteral("1"));
    EXPECT_TRUE(form->xiangKuang()->isHidden()) << "the frame is closed";
}

TEST_F(MainWindow, SettingsLiveInTheUserFolderWhenTheProgramFolderIsReadOnly)
{
    start(QStringLiteral("/proc/self"));
    const QString userSettings = user.filePath(QStringLiteral("config/xueji_orin.ini"));
    EXPECT_EQ(form->settingsFilePath(), userSettings);
    form->TextSay1->setText(QStringLiteral("有请"));
    form->close();

    start(QStringLiteral("/proc/self"));
    EXPECT_EQ(form->TextSay1->text(), QStringLiteral("有请"));
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(MainWindow, ASettingsFileThatCannotBeWrittenIsReported)
{
    const ProgramEnvironment environment =
        desktop.environment(program.path(), QStringLiteral("/proc/self/lumo"), home.path());
    form = std::make_unique<Form1>(environment);
    form->Form_Load();
    // The program folder's settings folder is taken away while Lumo runs.
    QDir(program.filePath(QStringLiteral("config"))).removeRecursively();
    writeBytes(program.filePath(QStringLiteral("config")), "in the way");
    form->close();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages.first().startsWith(QStringLiteral("设置无法保存")));
}

TEST_F(MainWindow, SwitchesShowHideAndEnableTheirCompanions)
{
    start();
    showActive();

    form->CheckAutoPai->setChecked(false);
    EXPECT_FALSE(form->WzPai->isHidden());
    EXPECT_TRUE(form->Picture1->hasFocus());
    form->CheckAutoPai->setChecked(true);
    EXPECT_TRUE(form->WzPai->isHidden());

    form->TextSay1->setFocus();
    form->CheckAutoSave->click();
    EXPECT_FALSE(form->WZsaVe->isHidden());
    EXPECT_TRUE(form->Picture1->hasFocus());

    const QString backup = form->TextBakPath->text();
    form->CheckAutoBak->setChecked(true);
    EXPECT_TRUE(form->TextBakPath->isEnabled());
    form->CheckAutoBak->setChecked(false);
    EXPECT_FALSE(form->TextBakPath->isEnabled());
    EXPECT_EQ(form->TextBakPath->text(), backup);

    form->CheckInNotYuYIn->setChecked(false);
    EXPECT_FALSE(form->FrameYuYin->isHidden());

    form->Check1->setChecked(true);
    EXPECT_FALSE(form->ZhaoPKuan->isEnabled());
    EXPECT_FALSE(form->ZhaoPGao->isEnabled());
    form->Check1->setChecked(false);
    EXPECT_TRUE(form->ZhaoPKuan->isEnabled());
    EXPECT_FALSE(form->ZhaoPGao->isEnabled());
}

TEST_F(MainWindow, LabelsFoldTheSettingsAndTheFeatureList)
{
    start();
    showActive();
    form->TextSay1->setFocus();
    QTest::mouseClick(form->LabelSystemSit, Qt::LeftButton);
    EXPECT_FALSE(form->FrameSysSetting->isHidden());
    QTest::mouseClick(form->LabelSystemSit, Qt::LeftButton);
    EXPECT_TRUE(form->FrameSysSetting->isHidden());
    EXPECT_TRUE(form->Picture1->hasFocus());

    QTest::mouseClick(form->LabelJieSHao, Qt::LeftButton);
    EXPECT_TRUE(form->TextGongNeng->isHidden());
    QTest::mouseClick(form->LabelJieSHao, Qt::LeftButton);
    EXPECT_FALSE(form->TextGongNeng->isHidden());
}

TEST_F(MainWindow, PhotoWidthSetsTheHeightAndTheFrame)
{
    start();
    XiangKuang *frame = form->xiangKuang();

    form->ZhaoPKuan->setText(QStringLiteral("390"));
    EXPECT_EQ(form->ZhaoPGao->text(), QStringLiteral("480"));
    EXPECT_EQ(form->programWide.QjKK, 5850);
    EXPECT_EQ(frame->Width(), 6150);
    EXPECT_EQ(frame->Height(), 7500);

    form->ZhaoPKuan->setText(QString());
    EXPECT_EQ(form->ZhaoPKuan->text(), QStringLiteral("1"));
    EXPECT_EQ(form->programWide.QjZhaoPKuan, 390) << "an emptied box leaves the size alone";
    EXPECT_EQ(form->ZhaoPGao->text(), QStringLiteral("480"));
    EXPECT_EQ(frame->Width(), 6150);

    form->ZhaoPKuan->setText(QStringLiteral("601"));
    EXPECT_EQ(form->ZhaoPKuan->text(), QStringLiteral("200"));
    EXPECT_EQ(form->ZhaoPGao->text(), QStringLiteral("246"));

    form->ZhaoPKuan->setText(QStringLiteral("宽"));
    EXPECT_EQ(form->ZhaoPKuan->text(), QStringLiteral("200"));

    form->ZhaoPKuan->setText(QStringLiteral("0"));
    EXPECT_EQ(form->programWide.QjZhaoPGao, 0);
    EXPECT_EQ(frame->Width(), 300);
    EXPECT_EQ(frame->Height(), 300);
}

TEST_F(MainWindow, BorderAndStepBoxesKeepTheirRanges)
{
    start();
    form->TextXianKuan01->setText(QStringLiteral("51"));
    EXPECT_EQ(form->TextXianKuan01->text(), QStringLiteral("3"));
    form->TextXianKuan02->setText(QStringLiteral("51"));
    EXPECT_EQ(form->TextXianKuan02->text(), QStringLiteral("2"));
    form->TextXianKuan02->setText(QStringLiteral("0"));
    form->xiangKuang()->Timer1_Timer();
    EXPECT_EQ(form->xiangKuang()->lines()[5].penWidth, 1) << "a width below 1 draws 1 pixel";

    form->YDStep->setText(QString());
    EXPECT_EQ(form->YDStep->text(), QStringLiteral("3"));
    form->YDStep->setText(QStringLiteral("101"));
    EXPECT_EQ(form->YDStep->text(), QStringLiteral("5"));
    form->SuoFangStep->setText(QStringLiteral("0"));
    EXPECT_EQ(form->SuoFangStep->text(), QStringLiteral("10"));
}

TEST_F(MainWindow, TextBoxesRefuseWhatTheSettingsFileCannotHold)
{
    start();
    showActive();
    form->TextOutPath->clear();
    form->TextOutPath->setFocus();
    QTest::keyClicks(form->TextOutPath, QStringLiteral("/photo|class"));
    EXPECT_EQ(form->TextOutPath->text(), QStringLiteral("/photoclass"));

    form->TextSay1->setText(QStringLiteral("请"));
    form->TextSay1->setCursorPosition(1);
    form->TextSay1->insert(QStringLiteral("一班|二班"));
    form->TextSay1->insert(QStringLiteral("😀"));
    EXPECT_EQ(form->TextSay1->text(), QStringLiteral("请")) << "pasted text that cannot be stored";
    form->TextSay1->insert(QStringLiteral("张三"));
    EXPECT_EQ(form->TextSay1->text(), QStringLiteral("请张三"));
}

TEST_F(MainWindow, HelpAndFolderButtonsGoThroughTheShell)
{
    writeBytes(program.filePath(QStringLiteral("help.html")), "<html></html>");
    start();
    showActive();

    form->CommandHelp->click();
    EXPECT_EQ(shell.openedFiles, QStringList{program.filePath(QStringLiteral("help.html"))});
    EXPECT_TRUE(form->Picture1->hasFocus());

    form->TextOutPath->setText(home.filePath(QStringLiteral("学籍照片")));
    QDir(home.path()).mkdir(QStringLiteral("学籍照片"));
    form->CommandOpenDir->click();
    EXPECT_EQ(shell.openedFolders, QStringList{home.filePath(QStringLiteral("学籍照片"))});
    EXPECT_TRUE(dialogs.messages.isEmpty());

    // What the shell cannot do is said, not swallowed.
    form->TextOutPath->setText(home.filePath(QStringLiteral("没有这个目录")));
    form->CommandOpenDir->click();
    shell.succeeds = false;
    form->CommandHelp->click();
    QFile::remove(program.filePath(QStringLiteral("help.html")));
    form->CommandHelp->click();
    ASSERT_EQ(dialogs.messages.size(), 3);
    EXPECT_TRUE(dialogs.messages[0].contains(QStringLiteral("不存在")));
    EXPECT_TRUE(dialogs.messages[1].startsWith(QStringLiteral("无法打开操作说明")));
    EXPECT_TRUE(dialogs.messages[2].startsWith(QStringLiteral("找不到操作说明")));
}
