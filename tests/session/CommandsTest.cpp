// The operator's commands: Next, Previous, Skip, capture, save, the archive and the shell.
#include "tests/session/SessionFixture.h"

#include <QFileInfo>
#include <QSignalSpy>

TEST_F(SessionTest, NextCapturesSavesMovesOnAndCallsTheNextStudents)
{
    start();
    importClass(3, true);
    QSignalSpy settingsGroupClosed(session.get(), &session::ClassSession::nextStarted);
    session->next();
    EXPECT_EQ(camera.captured, (QList<QRect>{QRect(0, 0, 180, 240)}));
    EXPECT_EQ(sound.played, QStringList{program.filePath(u"QieZi.wav"_s)});
    EXPECT_EQ(QImage(photoOf(1)).size(), QSize(260, 320));
    EXPECT_EQ(session->pane().numberText, u"2"_s);
    EXPECT_EQ(speech.spoken, QStringList{u"请学生2前来,,,,学生3准备"_s});
    EXPECT_FALSE(session->frame().isHidden()) << "the frame is shown again after the copy";
    EXPECT_EQ(settingsGroupClosed.count(), 1);

    session->next();
    EXPECT_EQ(speech.spoken.last(), u"请学生3前来,,,,准备"_s);
    session->next();
    EXPECT_TRUE(QFileInfo::exists(photoOf(3)));
    EXPECT_EQ(session->currentIndex(), 4);
    EXPECT_EQ(speech.spoken.last(), u"已是最后一位,照相结束!"_s);
    EXPECT_FALSE(session->switches().oneKeySave);
    EXPECT_FALSE(session->switches().oneKeyCapture);
    session->next();
    EXPECT_EQ(session->currentIndex(), 4) << "not past the first row after the class";
    EXPECT_EQ(speech.spoken.size(), 3);
}

TEST_F(SessionTest, BrowsingAndVoiceOffAreQuiet)
{
    start();
    importClass(3, true);
    session->setSwitches({true, false, false, false}); // one-key save off
    session->next();
    EXPECT_FALSE(QFileInfo::exists(photoOf(1)));
    EXPECT_TRUE(speech.spoken.isEmpty()) << "without one-key save nothing is spoken";

    session->setSwitches({});
    session->setSetting(&settings::SessionSettings::voiceOff, 1);
    session->next();
    session->next();
    EXPECT_EQ(session->currentIndex(), 4);
    EXPECT_TRUE(speech.spoken.isEmpty());
    EXPECT_TRUE(session->switches().oneKeySave) << "the end is not announced with voice off";
}

TEST_F(SessionTest, PreviousEntersBrowseModeAndSkipStopsAtTheTablesEnd)
{
    start();
    importClass(3);
    session->previous();
    EXPECT_EQ(dialogs.messages, QStringList{u"现在是浏览模式,不再自动拍照,自动保存!"_s});
    EXPECT_EQ(session->switches(), (session::SessionSwitches{false, false, false, false}));
    EXPECT_EQ(session->currentIndex(), 1);
    session->goTo(3);
    session->previous();
    EXPECT_EQ(session->currentIndex(), 2);
    EXPECT_EQ(dialogs.messages.size(), 1);

    session->goTo(4);
    session->skip();
    session->skip();
    EXPECT_EQ(session->currentIndex(), 6);
    EXPECT_TRUE(camera.captured.isEmpty());
    session->goTo(2998);
    session->skip();
    EXPECT_EQ(session->currentIndex(), 2998) << "the view cannot show further rows";
}

TEST_F(SessionTest, AFailedCaptureIsToldAndNeverSavesThePreviousOne)
{
    start();
    importClass(3);
    session->takePhoto(); // a good capture, for student 1
    camera.fails = true;
    session->next();
    EXPECT_EQ(session->currentIndex(), 2) << "a failing capture and save are skipped";
    EXPECT_FALSE(QFileInfo::exists(photoOf(1))) << "never the previous capture under this name";
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].startsWith(u"拍照失败"_s)) << "the operator is told";
    EXPECT_FALSE(session->frame().isHidden());

    session->setPhotoWidth(u"0"_s);
    camera.captured.clear();
    session->takePhoto();
    EXPECT_TRUE(camera.captured.isEmpty()) << "a photo of no pixels is not taken";
    EXPECT_EQ(dialogs.messages.size(), 2);
}

TEST_F(SessionTest, AOneColourCaptureIsToldAndTheStudentStays)
{
    start();
    importClass(3);
    camera.uniform = true;
    session->next();
    EXPECT_EQ(session->currentIndex(), 1) << "the class does not move on";
    EXPECT_FALSE(QFileInfo::exists(photoOf(1)));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].startsWith(u"拍到的画面是一片纯色"_s));
}

TEST_F(SessionTest, RetakeReplacesThePreviousStudentsPhotoAndComesBack)
{
    start();
    importClass(3, true);
    session->next();
    const QByteArray first = readBytes(photoOf(1));
    camera.shift = 7; // the student sat up
    session->retakePrevious();
    EXPECT_EQ(session->currentIndex(), 2);
    EXPECT_NE(readBytes(photoOf(1)), first);
    EXPECT_TRUE(dialogs.questions.isEmpty()) << "retaking is the intent: no overwrite question";
    EXPECT_EQ(session->pane().notice, u"已重拍 1 号 学生1"_s);
    EXPECT_EQ(speech.spoken.last(), u"学生1，照片已重拍"_s);
    session->goTo(1);
    session->retakePrevious();
    EXPECT_EQ(dialogs.messages.last(), u"没有可以重拍的上一位学生。"_s);
}

TEST_F(SessionTest, SaveButtonTellsFailuresAndNamesFromTheRosterRow)
{
    start();
    importClass(1);
    session->takePhoto();
    writeBytes(home.filePath(u"blocked"_s), "a file, not a folder");
    session->setSetting(&settings::SessionSettings::outputFolder,
                        home.filePath(u"blocked/zhaopian"_s));
    session->savePhoto();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages.first().contains(u"blocked"_s));

    session->setSetting(&settings::SessionSettings::outputFolder, output.path() + u"/"_s);
    session->savePhoto();
    EXPECT_EQ(session->settings().outputFolder, output.path()) << "one separator less";
    EXPECT_TRUE(QFileInfo::exists(photoOf(1)));
    session->goTo(2); // past the end of the list
    session->savePhoto();
    EXPECT_EQ(dialogs.messages.last(), u"已经是最后1位学生。"_s);
}

TEST_F(SessionTest, PackingOffersTheClassNameAndMovesThePhotos)
{
    start();
    importClass(2);
    writeBytes(photoOf(1), "photo");
    QSignalSpy clipboard(session.get(), &session::ClassSession::clipboardOffered);
    for (const std::optional<QString> &cancelled :
         {std::optional<QString>(), std::optional<QString>(u"   "_s)}) {
        dialogs.textAnswer = cancelled;
        session->packClass();
    }
    EXPECT_EQ(dialogs.messages,
              (QStringList{u"操作被取消或未输入文件名!"_s, u"操作被取消或未输入文件名!"_s}));
    EXPECT_EQ(dialogs.titles.last(), u"警告"_s);
    EXPECT_EQ(clipboard.first().first().toString(), u"三年二班"_s);
    EXPECT_EQ(dialogs.textPrompts.mid(0, 2),
              (QStringList{u"请输入压缩包文件名,班级名称己复制到剪贴板,直接粘贴即可!"_s,
                           u"压缩包文件名设置"_s}));

    dialogs.textAnswer = u" 三年二班 "_s;
    session->packClass();
    EXPECT_TRUE(QFileInfo::exists(QDir(output.path()).filePath(u"三年二班.zip"_s)));
    EXPECT_FALSE(QFileInfo::exists(photoOf(1)));
    EXPECT_EQ(shell.openedFolders, QStringList{output.path()});

    session->setSetting(&settings::SessionSettings::outputFolder, home.filePath(u"无"_s));
    session->packClass();
    EXPECT_EQ(dialogs.messages.last(), u"ZIP文件必须同图片文件在同一目录,请修改设置"_s);
}

TEST_F(SessionTest, TheManualShowsInsideLumoAndFolderFailuresAreTold)
{
    writeBytes(program.filePath(u"help.html"_s), "<html></html>");
    start();
    QSignalSpy manual(session.get(), &session::ClassSession::manualRequested);
    session->openHelp();
    EXPECT_EQ(manual.first().first().toString(), program.filePath(u"help.html"_s));
    session->setSetting(&settings::SessionSettings::outputFolder, home.filePath(u"没有"_s));
    session->openOutputFolder();
    session->setSetting(&settings::SessionSettings::outputFolder, home.path());
    shell.succeeds = false;
    session->openOutputFolder();
    QFile::remove(program.filePath(u"help.html"_s));
    session->openHelp();
    ASSERT_EQ(dialogs.messages.size(), 3);
    EXPECT_TRUE(dialogs.messages[0].contains(u"不存在"_s));
    EXPECT_TRUE(dialogs.messages[1].startsWith(u"无法打开文件夹"_s));
    EXPECT_TRUE(dialogs.messages[2].startsWith(u"找不到操作说明"_s));
}

TEST_F(SessionTest, AnInstalledLumoFindsTheManualInItsDataFolder)
{
    QTemporaryDir installed;
    const QString manualFile = QDir(installed.path()).filePath(u"help.html"_s);
    writeBytes(manualFile, "<html></html>");
    start(QString(), installed.path());
    QSignalSpy manual(session.get(), &session::ClassSession::manualRequested);
    session->openHelp();
    EXPECT_EQ(manual.first().first().toString(), manualFile);
}
