// The main window on Qt's offscreen platform: its controls show the session, and the operator's
// typing and clicks reach it.
#include "ui/MainWindow.h"
#include "tests/session/SessionFixture.h"
#include "ui/PictureView.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

namespace {

class MainWindowTest : public SessionTest
{
protected:
    void SetUp() override
    {
        start();
        window = std::make_unique<ui::MainWindow>(*session);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    template <typename Control> Control *control(const char *name)
    {
        auto *found = window->findChild<Control *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    void type(const char *box, const QString &text)
    {
        QLineEdit *edit = control<QLineEdit>(box);
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }

    std::unique_ptr<ui::MainWindow> window;
};

} // namespace

TEST_F(MainWindowTest, ControlsShowTheSettingsAndTypingChangesThem)
{
    EXPECT_EQ(window->windowTitle(), u"Lumov2.0"_s);
    EXPECT_EQ(control<QLineEdit>("ZhaoPKuan")->text(), u"180"_s);
    EXPECT_EQ(control<QLineEdit>("TextOutPath")->text(), session->settings().outputFolder);
    EXPECT_TRUE(control<QGroupBox>("FrameYuYin")->isHidden()) << "voice prompts off";
    EXPECT_FALSE(control<QLineEdit>("TextBakPath")->isEnabled()) << "backup off";
    EXPECT_TRUE(control<QPushButton>("WzPai")->isHidden());

    type("ZhaoPKuan", u"390"_s);
    EXPECT_EQ(session->frame().photoSize(), (frame::PhotoSize{390, 480}));
    EXPECT_EQ(control<QLineEdit>("ZhaoPGao")->text(), u"480"_s);
    type("ZhaoPKuan", u"601"_s);
    EXPECT_EQ(control<QLineEdit>("ZhaoPKuan")->text(), u"200"_s) << "the box's rule";
    type("TextOutPath", u"/photo|class"_s);
    EXPECT_EQ(session->settings().outputFolder, u"/photoclass"_s) << "no \"|\" in the file";

    control<QCheckBox>("CheckInNotYuYIn")->click();
    EXPECT_EQ(session->settings().voiceOff, 0);
    EXPECT_FALSE(control<QGroupBox>("FrameYuYin")->isHidden());
    control<QCheckBox>("CheckAutoPai")->click();
    EXPECT_FALSE(session->switches().oneKeyCapture);
    EXPECT_FALSE(control<QPushButton>("WzPai")->isHidden());
    EXPECT_TRUE(control<ui::PictureView>("Picture1")->hasFocus());

    auto *settingsGroup = control<QGroupBox>("FrameSysSetting");
    QTest::mouseClick(control<QLabel>("LabelSystemSit"), Qt::LeftButton);
    EXPECT_FALSE(settingsGroup->isHidden());
    for (const QWidget *part : settingsGroup->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        EXPECT_TRUE(settingsGroup->rect().contains(part->geometry()))
            << "cut off: " << part->objectName().toStdString();
    type("TextSchoolCode", u"12345x67890123"_s);
    type("TextClassNumber", u"03-02"_s);
    EXPECT_EQ(session->lumoSettings().schoolCode, u"1234567890"_s) << "10 digits at most";
    EXPECT_EQ(session->lumoSettings().classNumber, u"0302"_s);
    control<QPushButton>("CommandCloseSettings")->click();
    EXPECT_TRUE(settingsGroup->isHidden());
    QTest::mouseClick(control<QLabel>("LabelSystemSit"), Qt::LeftButton);
    control<QPushButton>("CommandIn")->click();
    EXPECT_TRUE(settingsGroup->isHidden()) << "Next closes the settings group first";
}

TEST_F(MainWindowTest, OneNextShowsTheNextStudentAndThePhoto)
{
    importClass(3);
    EXPECT_EQ(control<QLineEdit>("Text1(2)")->text(), u"学生1"_s);
    control<QPushButton>("CommandIn")->click();
    EXPECT_EQ(control<QLineEdit>("TextNowXS")->text(), u"2"_s);
    EXPECT_EQ(control<QLineEdit>("Text1(2)")->text(), u"学生2"_s);
    EXPECT_EQ(control<QLineEdit>("Text1(3)")->text(), u"学生3"_s);
    EXPECT_EQ(control<QLineEdit>("Text1(1)")->text(), u"学生1"_s);
    EXPECT_FALSE(control<QLabel>("ImageSt01")->pixmap().isNull()) << "student 1's photo";
    EXPECT_EQ(control<ui::PictureView>("Picture1")->image().size(), QSize(180, 240));
    EXPECT_TRUE(control<QLabel>("LabelVerdict01")->isHidden()) << "photo checks off";

    settings::LumoSettings options = session->lumoSettings();
    options.checkPhotos = true;
    session->setLumoSettings(options);
    control<QPushButton>("CommandIn")->click(); // a colour pattern: no face
    EXPECT_EQ(control<QLabel>("LabelVerdict01")->text(), u"请重拍：没有找到人脸"_s);
    EXPECT_TRUE(control<QLabel>("LabelVerdict01")->isVisible());
    EXPECT_EQ(control<QCheckBox>("CheckPhotoCheck")->isChecked(), true);

    type("TextNowXS", u"1"_s);
    EXPECT_EQ(control<QLineEdit>("Text1(2)")->text(), u"学生1"_s);
    EXPECT_TRUE(control<QLabel>("LabelVerdict01")->isHidden());

    EXPECT_TRUE(control<QLineEdit>("TextMissing")->text().isEmpty());
    for (int step = 0; step < 3; ++step)
        session->skip();
    EXPECT_EQ(control<QLineEdit>("TextMissing")->text(), u"未拍 1 人：3 学生3"_s);
}

TEST_F(MainWindowTest, TheArchiveButtonPutsTheClassNameOnTheClipboard)
{
    importClass(1);
    dialogs.textAnswer = u"三年二班"_s;
    control<QPushButton>("CommandToZip")->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"三年二班"_s);
    EXPECT_EQ(dialogs.messages,
              QStringList{u"文件夹 "_s + output.path() + u" 中没有 JPG 照片，没有打包。"_s});
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // The report button: a progress bar while the pages are drawn, gone when they are written.
    int progressShown = 0;
    QObject::connect(session.get(), &session::ClassSession::progressChanged, [&] {
        progressShown += control<QProgressBar>("ProgressReport")->isVisible();
    });
    dialogs.chosenSaveFile = output.filePath(u"报告.pdf"_s);
    control<QPushButton>("CommandReport")->click();
    EXPECT_TRUE(QFileInfo::exists(dialogs.chosenSaveFile));
    EXPECT_GT(progressShown, 0);
    EXPECT_TRUE(control<QProgressBar>("ProgressReport")->isHidden());
}
