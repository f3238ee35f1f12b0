// Working through a class from the buttons and the hotkeys: capture, save, move on, announce.
#include "app/ClickableLabel.h"
#include "app/PictureBox.h"
#include "frame/XiangKuang.h"
#include "photo/PictureFile.h"
#include "tests/app/MainWindowFixture.h"

#include <QCheckBox>
#include <QCursor>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString kIds[] = {QStringLiteral("110105200801011234"), QStringLiteral("110105200802022345"),
                        QStringLiteral("110105200803033456")};

class ClassSession : public MainWindow
{
protected:
    void SetUp() override
    {
        start();
        RosterTable &table = form->XueShengXinXi;
        const QString names[] = {QStringLiteral("张三"), QStringLiteral("李四"),
                                 QStringLiteral("王五")};
        for (int i = 0; i < 3; ++i) {
            table.setCell(i + 1, RosterTable::kName, names[i]);
            table.setCell(i + 1, RosterTable::kIdNumber, kIds[i]);
        }
        form->ZongShu = 3;
        form->TextOutPath->setText(output.path());
        form->TextBakPath->setText(backup.path());
        form->CheckInNotYuYIn->setChecked(false); // voice on
        form->moveToStudent(1);
    }

    QString photoOf(int student) const
    {
        return QDir(output.path()).filePath(kIds[student - 1] + QStringLiteral(".jpg"));
    }

    void tick(std::initializer_list<HotKey> keys)
    {
        desktop.keys.press(keys);
        form->Timer1_Timer();
    }

    XiangKuang *frame() const { return form->xiangKuang(); }

    QTemporaryDir output, backup;
};

} // namespace

TEST_F(ClassSession, NextCapturesSavesMovesOnAndCallsTheNextStudents)
{
    form->CommandIn->click();
    EXPECT_EQ(desktop.screen.grabbed, (QList<QRect>{QRect(0, 0, 180, 240)}));
    EXPECT_EQ(desktop.screen.repaintWaits, 1);
    EXPECT_EQ(desktop.sound.played, QStringList{program.filePath(QStringLiteral("QieZi.wav"))});
    EXPECT_EQ(photo::LoadPicture(photoOf(1)).size(), QSize(260, 320));
    EXPECT_EQ(form->NowXS, 2);
    EXPECT_EQ(form->TextNowXS->text(), QStringLiteral("2"));
    EXPECT_EQ(desktop.speech.spoken, QStringList{QStringLiteral("请李四前来,,,,王五准备")});
    EXPECT_FALSE(frame()->isHidden()) << "the frame is shown again after the copy";

    form->CommandIn->click();
    EXPECT_EQ(desktop.speech.spoken.last(), QStringLiteral("请王五前来,,,,准备"));
    form->CommandIn->click();
    EXPECT_TRUE(QFileInfo::exists(photoOf(3)));
    EXPECT_EQ(form->NowXS, 4);
    EXPECT_EQ(desktop.speech.spoken.last(), QStringLiteral("已是最后一位,照相结束!"));
    EXPECT_FALSE(form->CheckAutoSave->isChecked());
    EXPECT_FALSE(form->CheckAutoPai->isChecked());
    EXPECT_FALSE(form->WzPai->isHidden());
    EXPECT_FALSE(form->WZsaVe->isHidden());

    form->CommandIn->click();
    EXPECT_EQ(form->NowXS, 4) << "Next does not go past the first row after the class";
    EXPECT_EQ(desktop.speech.spoken.size(), 3);
}

TEST_F(ClassSession, BrowsingAndVoiceOffAreQuiet)
{
    form->CheckAutoSave->setChecked(false);
    form->CommandIn->click();
    EXPECT_FALSE(QFileInfo::exists(photoOf(1)));
    EXPECT_TRUE(desktop.speech.spoken.isEmpty()) << "without one-key save nothing is spoken";
    EXPECT_EQ(form->NowXS, 2);

    form->CheckAutoSave->setChecked(true);
    form->CheckInNotYuYIn->setChecked(true);
    form->CommandIn->click();
    form->CommandIn->click();
    EXPECT_EQ(form->NowXS, 4);
    EXPECT_TRUE(desktop.speech.spoken.isEmpty());
    EXPECT_TRUE(form->CheckAutoSave->isChecked()) << "the end is not announced with voice off";
}

TEST_F(ClassSession, PreviousEntersBrowseModeAndStopsAtTheFirstStudent)
{
    form->CommandOut->click();
    EXPECT_EQ(dialogs.messages,
              QStringList{QStringLiteral("现在是浏览模式,不再自动拍照,自动保存!")});
    EXPECT_FALSE(form->CheckAutoSave->isChecked());
    EXPECT_FALSE(form->CheckAutoPai->isChecked());
    EXPECT_EQ(form->NowXS, 1);
    form->moveToStudent(3);
    form->CommandOut->click();
    EXPECT_EQ(form->NowXS, 2);
    EXPECT_EQ(dialogs.messages.size(), 1);
}

TEST_F(ClassSession, SkipMovesWithoutPhotoOrVoicePastTheClass)
{
    form->moveToStudent(4);
    form->CommandNextOne->click();
    form->CommandNextOne->click();
    EXPECT_EQ(form->NowXS, 6);
    EXPECT_TRUE(desktop.screen.grabbed.isEmpty());
    EXPECT_TRUE(desktop.speech.spoken.isEmpty());
    form->moveToStudent(2998);
    form->CommandNextOne->click();
    EXPECT_EQ(form->NowXS, 2998) << "the view cannot show further rows";
}

TEST_F(ClassSession, NextClosesTheSettingsGroupFirst)
{
    form->LabelSystemSit_Click();
    ASSERT_FALSE(form->FrameSysSetting->isHidden());
    form->CommandIn->click();
    EXPECT_TRUE(form->FrameSysSetting->isHidden());
}

TEST_F(ClassSession, CaptureCopiesTheRectangleUnderTheFrame)
{
    form->ZhaoPKuan->setText(QStringLiteral("300"));
    frame()->setLeft(1500);
    frame()->setTop(750);
    form->WzPai->click();
    ASSERT_EQ(desktop.screen.grabbed, (QList<QRect>{QRect(100, 50, 300, 369)}));
    const QImage picture = form->Picture1->image();
    ASSERT_EQ(picture.size(), QSize(300, 369));
    EXPECT_EQ(picture.pixelColor(0, 0), FakeScreenGrabber::colourAt(100, 50));
    EXPECT_EQ(picture.pixelColor(299, 368), FakeScreenGrabber::colourAt(399, 418));

    // Half a pixel of frame position rounds to even.
    frame()->setLeft(22.5f);
    form->WzPai->click();
    EXPECT_EQ(desktop.screen.grabbed.last().left(), 2);
}

TEST_F(ClassSession, AFailedCaptureShowsTheFrameAgainAndTheClassMovesOn)
{
    desktop.screen.fails = true;
    form->WzPai->click();
    EXPECT_FALSE(frame()->isHidden());
    ASSERT_EQ(dialogs.messages.size(), 1);

    form->Picture1->setImage(QImage(180, 240, QImage::Format_RGB32)); // the previous capture
    form->CommandIn->click();
    EXPECT_EQ(form->NowXS, 2) << "a failing capture and save are skipped";
    EXPECT_FALSE(QFileInfo::exists(photoOf(1))) << "never the previous capture under this name";
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_TRUE(dialogs.messages[1].startsWith(QStringLiteral("拍照失败")))
        << "the operator is told";

    form->ZhaoPKuan->setText(QStringLiteral("0"));
    desktop.screen.grabbed.clear();
    form->WzPai->click();
    EXPECT_TRUE(desktop.screen.grabbed.isEmpty()) << "a photo of no pixels is not taken";
    EXPECT_EQ(dialogs.messages.size(), 3);
}

TEST_F(ClassSession, MoveKeysStepTheFrame)
{
    form->YDStep->setText(QStringLiteral("2"));
    frame()->setLeft(3000);
    frame()->setTop(3000);
    tick({HotKey::W});
    EXPECT_EQ(frame()->Top(), 2970);
    tick({HotKey::S, HotKey::A});
    EXPECT_EQ(frame()->Top(), 3000);
    EXPECT_EQ(frame()->Left(), 2970);
    for (int i = 0; i < 10; ++i) // D held for a second
        tick({HotKey::D});
    EXPECT_EQ(frame()->Left(), 3270);
    EXPECT_EQ(frame()->pos(), QPoint(218, 200));
}

TEST_F(ClassSession, ZoomKeysSizeTheFrameAroundItsCentre)
{
    form->ZhaoPKuan->setText(QStringLiteral("300"));
    const int windowWidth = form->Width();
    tick({HotKey::Q});
    EXPECT_EQ(form->ZhaoPKuan->text(), QStringLiteral("290"));
    EXPECT_EQ(form->programWide.QjZhaoPGao, 356);
    EXPECT_EQ(frame()->Left(), 75);
    EXPECT_EQ(frame()->Top(), 75);
    EXPECT_EQ(form->Width(), windowWidth - 150);

    tick({HotKey::E});
    tick({HotKey::E});
    EXPECT_EQ(form->ZhaoPKuan->text(), QStringLiteral("310"));
    EXPECT_EQ(frame()->Left(), 0) << "E stops at the screen's edge";
    EXPECT_EQ(frame()->Top(), 0);

    form->Check1->setChecked(true);
    tick({HotKey::Q, HotKey::E});
    EXPECT_EQ(form->ZhaoPKuan->text(), QStringLiteral("310"));
    EXPECT_EQ(frame()->Left(), 0);
    form->Check1->setChecked(false);

    form->ZhaoPKuan->setText(QStringLiteral("600"));
    tick({HotKey::E});
    EXPECT_EQ(form->ZhaoPKuan->text(), QStringLiteral("600")) << "E stops at the widest photo";
    form->ZhaoPKuan->setText(QStringLiteral("15"));
    tick({HotKey::Q});
    EXPECT_EQ(form->ZhaoPKuan->text(), QStringLiteral("15")) << "Q stops at the narrowest";
}

TEST_F(ClassSession, FCentresThePhotoOnTheCursor)
{
    form->ZhaoPKuan->setText(QStringLiteral("300"));
    QCursor::setPos(500, 400);
    if (QCursor::pos() != QPoint(500, 400))
        GTEST_SKIP() << "this platform has no cursor to place";
    tick({HotKey::F});
    EXPECT_EQ(frame()->Left(), 500 * 15 - 300 * 15 / 2);
    EXPECT_EQ(frame()->Top(), 400 * 15 - 369 * 15 / 2.0);
}

TEST_F(ClassSession, F11SwitchesTheOtherKeysOffAndOn)
{
    frame()->setTop(3000);
    tick({HotKey::F11, HotKey::W});
    EXPECT_TRUE(form->CheckHotKey->isChecked());
    EXPECT_EQ(dialogs.messages.last(), QStringLiteral("热键己关闭,恢复再次按F11"));
    EXPECT_EQ(dialogs.titles.last(), QStringLiteral("关闭热键"));
    EXPECT_EQ(frame()->Top(), 3000) << "keys are off in the same tick";

    tick({HotKey::W, HotKey::Q, HotKey::CapsLock, HotKey::Down});
    EXPECT_EQ(frame()->Top(), 3000);
    EXPECT_EQ(form->NowXS, 1);

    tick({HotKey::F11});
    EXPECT_FALSE(form->CheckHotKey->isChecked());
    EXPECT_EQ(dialogs.messages.last(), QStringLiteral("热键打开"));
}

TEST_F(ClassSession, ArrowKeysAndCapsLockRunTheCommands)
{
    tick({HotKey::CapsLock});
    EXPECT_EQ(form->NowXS, 2);
    tick({HotKey::Right});
    EXPECT_EQ(form->NowXS, 3);
    tick({HotKey::Left});
    EXPECT_EQ(desktop.speech.spoken.last(), QStringLiteral("王五"));
    tick({HotKey::Down});
    EXPECT_EQ(form->NowXS, 4);
    tick({HotKey::Up});
    EXPECT_EQ(form->NowXS, 3);
    EXPECT_EQ(dialogs.messages.last(), QStringLiteral("现在是浏览模式,不再自动拍照,自动保存!"));
}

TEST_F(ClassSession, ATickDuringACommandActsOnNoKey)
{
    int nestedPolls = -1;
    desktop.speech.whileSpeaking = [&] {
        desktop.keys.press({HotKey::CapsLock});
        const int before = desktop.keys.polls;
        form->Timer1_Timer(); // the poller's timer fires while the prompt is spoken
        nestedPolls = desktop.keys.polls - before;
    };
    form->CommandIn->click();
    EXPECT_EQ(nestedPolls, 0);
    EXPECT_EQ(form->NowXS, 2) << "one press, one capture";
    EXPECT_EQ(desktop.screen.grabbed.size(), 1);

    desktop.speech.whileSpeaking = nullptr;
    form->Timer1_Timer(); // the press made during the announcement is seen afterwards
    EXPECT_EQ(form->NowXS, 3);
}
