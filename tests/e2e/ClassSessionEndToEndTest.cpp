// A class session with the real lumo program on the X server, driven by keys while the camera
// program has the focus. The session ends with a logout (SIGTERM) or Ctrl+C (SIGINT), which shut
// Lumo down as closing its window does.
#include "tests/e2e/EndToEnd.h"

TEST_P(ClassSessionEndToEnd, KeysWorkThroughTheClassWhileTheCameraProgramHasTheFocus)
{
    startLumo();
    EXPECT_EQ(framePosition(), QPoint(0, 0));
    importClass();

    // The frame moves with D while the camera program has the focus and gets the keys too.
    focusCamera();
    tap("d");
    tap("d");
    ASSERT_TRUE(waitUntil([&] { return framePosition() == QPoint(4, 0); }))
        << "two steps of 2 pixels, not " << framePosition().x() << "," << framePosition().y();
    EXPECT_EQ(camera.typing->text(), u"dd"_s)
        << (QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className()
                                        : "no focus");

    // CapsLock photographs student 1: exactly the pixels under the frame.
    key("Caps_Lock");
    ASSERT_TRUE(waitUntil([&] {
        return QFileInfo::exists(photoOf(kStudent1)) && QFileInfo::exists(backupOf(kStudent1));
    }));
    QString error;
    const photo::BgrImage captured = photo::readPictureFile(backupOf(kStudent1), &error);
    ASSERT_EQ(captured.width(), 300) << error.toStdString();
    ASSERT_EQ(captured.height(), 369);
    int wrongPixels = 0;
    for (int y = 0; y < 369; ++y) {
        for (int x = 0; x < 300; ++x) {
            const std::uint8_t *pixel = captured.row(y) + 3 * x;
            wrongPixels += QColor(pixel[2], pixel[1], pixel[0]) != cameraAt(4 + x, y);
        }
    }
    EXPECT_EQ(wrongPixels, 0) << "the capture is the camera picture under the frame, without lines";

    QByteArray expectedJpeg;
    ASSERT_EQ(photo::encodeJpeg(photo::resample(captured, 260, 320), 100, 254, &expectedJpeg),
              photo::JpegStatus::Ok);
    QFile photoFile(photoOf(kStudent1));
    ASSERT_TRUE(photoFile.open(QIODevice::ReadOnly));
    EXPECT_TRUE(photoFile.readAll() == expectedJpeg)
        << "the photo is the resampled capture, as a 254-DPI JPEG";

    // W, A, S move by the step; Q and E size the frame around its centre; F centres it on the
    // mouse.
    tap("s");
    tap("s");
    tap("w");
    tap("a");
    ASSERT_TRUE(waitUntil([&] { return framePosition() == QPoint(2, 2); }))
        << framePosition().x() << "," << framePosition().y();
    tap("q");
    ASSERT_TRUE(waitUntil([&] { return framePosition() == QPoint(7, 7); }));
    EXPECT_EQ(windowGeometry(windowNamed(u"相框"_s)).size(), QSize(310, 376))
        << "290 x 356 and the strip";
    tap("e");
    ASSERT_TRUE(waitUntil([&] { return framePosition() == QPoint(2, 2); }));
    EXPECT_EQ(windowGeometry(windowNamed(u"相框"_s)).size(), QSize(320, 389));
    xdotool({u"mousemove"_s, u"500"_s, u"400"_s});
    tap("f");
    ASSERT_TRUE(waitUntil([&] { return framePosition() == QPoint(350, 216); }))
        << framePosition().x() << "," << framePosition().y();

    // Right photographs student 2 and moves on; Up goes back in browse mode.
    key("Right");
    ASSERT_TRUE(waitUntil([&] { return QFileInfo::exists(photoOf(kStudent2)); }));
    key("Up");
    answerMessage(u"Lumo"_s);

    // F11 switches the keys off: D moves nothing, CapsLock photographs nothing.
    focusCamera();
    key("F11");
    answerMessage(u"关闭热键"_s);
    focusCamera();
    const QPoint before = framePosition();
    tap("d");
    tap("Caps_Lock"); // the second CapsLock also puts the lock back off
    EXPECT_EQ(framePosition(), before);
    key("F11");
    answerMessage(u"关闭热键"_s);

    // A held key repeats its step on every poll, ten times a second.
    focusCamera();
    xdotool({u"keydown"_s, u"d"_s});
    QTest::qWait(1000);
    xdotool({u"keyup"_s, u"d"_s});
    QTest::qWait(300);
    const int steps = (framePosition().x() - before.x()) / 2;
    EXPECT_GE(steps, 6);
    EXPECT_LE(steps, 14);

    // A logout or Ctrl+C shuts down: the settings with the frame's width in twips (300 px) and
    // the marks of the students whose photos the view found.
    ::kill(pid_t(lumo.processId()), GetParam());
    ASSERT_TRUE(lumo.waitForFinished(15000));
    EXPECT_EQ(lumo.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(lumo.exitCode(), 0);
    EXPECT_EQ(settingsLine(settingsPath(), 4), u"\"4500\""_s);
    roster::RosterTable marked;
    ASSERT_TRUE(roster::importRoster(workbook(), marked).ok);
    EXPECT_EQ(marked.photoMark(1), roster::kPhotoTakenMark);
    EXPECT_EQ(marked.photoMark(2), roster::kPhotoTakenMark);
    EXPECT_TRUE(marked.photoMark(3).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(EndedBy, ClassSessionEndToEnd, ::testing::Values(SIGTERM, SIGINT));

// What went wrong in an operator's day: a press held a moment too long, typing in Lumo, a dialog
// open, a retake, a covered lens, a second start, a wrong class list before closing.
TEST_F(ClassSessionEndToEnd, AnOperatorsDay)
{
    startLumo();
    // The main window belongs to the menu entry (its StartupWMClass) and carries its icon.
    QProcess xprop;
    xprop.start(u"xprop"_s,
                {u"-id"_s, windowNamed(u"Lumov2.0"_s), u"WM_CLASS"_s, u"_NET_WM_ICON"_s});
    ASSERT_TRUE(xprop.waitForFinished(10000));
    const QString properties = QString::fromUtf8(xprop.readAllStandardOutput());
    EXPECT_TRUE(properties.contains(u"WM_CLASS(STRING) = \"lumo\", \"lumo\""_s) &&
                properties.contains(u"_NET_WM_ICON(CARDINAL) = "_s))
        << properties.left(300).toStdString();
    importClass();

    // Typing in Lumo's own boxes is typing, not frame keys.
    const QPoint before = framePosition();
    click(104, 494); // the class name box
    xdotool({u"type"_s, u"dddwq"_s});
    QTest::qWait(300);
    EXPECT_EQ(framePosition(), before);

    // A capture key held 400 ms takes one photo while D held as long moves the frame on.
    focusCamera();
    xdotool({u"keydown"_s, u"d"_s, u"keydown"_s, u"Caps_Lock"_s});
    QTest::qWait(400);
    xdotool({u"keyup"_s, u"Caps_Lock"_s, u"keyup"_s, u"d"_s});
    ASSERT_TRUE(waitUntil([&] { return QFileInfo::exists(photoOf(kStudent1)); }));
    QTest::qWait(500);
    EXPECT_FALSE(QFileInfo::exists(photoOf(kStudent2))) << "one press, one photo";
    EXPECT_GE(framePosition().x() - before.x(), 3 * 2);

    // Home retakes student 1 without a question, and student 2 stays next.
    const QByteArray first = readBytes(photoOf(kStudent1));
    camera.shift = 9;
    camera.update();
    QTest::qWait(200);
    tap("Home");
    ASSERT_TRUE(waitUntil([&] { return readBytes(photoOf(kStudent1)) != first; }));
    EXPECT_FALSE(QFileInfo::exists(photoOf(kStudent2)));

    // With the file dialog open, CapsLock saves nothing.
    click(341, 438); // "打开"
    ASSERT_TRUE(waitUntil([] { return !windowNamed(u"选择班级名单"_s).isEmpty(); }));
    key("Caps_Lock");
    QTest::qWait(500);
    key("Escape");
    ASSERT_TRUE(waitUntil([] { return windowNamed(u"选择班级名单"_s).isEmpty(); }));
    EXPECT_FALSE(QFileInfo::exists(photoOf(kStudent2)));

    // A covered lens gives a message and no photo; the class waits for the student.
    camera.black = true;
    camera.repaint(); // painted now, not at the next event loop turn
    QTest::qWait(300);
    focusCamera();
    key("Caps_Lock");
    answerMessage(u"Lumo"_s);
    EXPECT_FALSE(QFileInfo::exists(photoOf(kStudent2)));

    // A second start brings this Lumo to the front and ends; this one goes on.
    QProcess second;
    second.setProcessEnvironment(lumo.processEnvironment());
    second.start(folder.filePath(u"lumo"_s), {});
    ASSERT_TRUE(second.waitForFinished(15000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(lumo.state(), QProcess::Running);

    // A wrong class list is refused and changes nothing: the marks still go to the right one.
    click(250, 438); // the class list's path box
    xdotool({u"key"_s, u"ctrl+a"_s, u"type"_s, u"missing.xls"_s});
    click(152, 394); // "导入信息"
    answerMessage(u"EXCEL表格要求"_s);
    ::kill(pid_t(lumo.processId()), SIGTERM);
    ASSERT_TRUE(lumo.waitForFinished(15000));
    // With a sound device or without one, the sound library prints nothing on the terminal.
    const QString terminal = QString::fromLocal8Bit(lumo.readAllStandardError());
    EXPECT_FALSE(terminal.contains(u"ALSA lib"_s)) << terminal.toStdString();
    roster::RosterTable marked;
    ASSERT_TRUE(roster::importRoster(workbook(), marked).ok);
    EXPECT_EQ(marked.photoMark(1), roster::kPhotoTakenMark);
}
