// A class session with the real lumo program on the X server: a window with a known picture
// stands in for the camera program and keeps the keyboard focus; keys are typed by xdotool. The
// session ends with a logout (SIGTERM) or Ctrl+C (SIGINT), which shut Lumo down as closing its
// window does.
#include "photo/JpegCodec.h"
#include "photo/PictureFile.h"
#include "photo/Resampler.h"
#include "roster/PhotoMarks.h"
#include "roster/RosterImport.h"
#include "settings/SettingsFile.h"
#include "tests/e2e/CapsLock.h"
#include "tests/support/TestFiles.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstdlib>
#include <functional>

#include <gtest/gtest.h>

using namespace lumo;

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kStudent1 = u"110101201001011234"_s;
const QString kStudent2 = u"310104201207184000"_s;

QColor cameraAt(int x, int y)
{
    return QColor((x * 5 + y) % 256, (y * 3) % 256, (x + 2 * y) % 200 + 40);
}

// The camera program: a known picture, and a text box that has the keyboard focus.
class CameraWindow : public QWidget
{
public:
    CameraWindow() : QWidget(nullptr, Qt::FramelessWindowHint)
    {
        setGeometry(0, 0, 1000, 700);
        m_picture = QImage(size(), QImage::Format_RGB32);
        for (int y = 0; y < height(); ++y)
            for (int x = 0; x < width(); ++x)
                m_picture.setPixelColor(x, y, cameraAt(x, y));
        typing = new QLineEdit(this);
        typing->setGeometry(700, 650, 200, 30);
    }
    QLineEdit *typing;
    bool black = false; // a covered lens
    int shift = 0;      // the student moved

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        if (black)
            painter.fillRect(rect(), Qt::black);
        else
            painter.drawImage(-shift, 0, m_picture);
    }

private:
    QImage m_picture;
};

// xdotool's output. A window that goes away while xdotool looks at it makes it fail with an X
// error; it is then asked again.
QString xdotool(const QStringList &arguments)
{
    for (int attempt = 0;; ++attempt) {
        QProcess process;
        process.start(u"xdotool"_s, arguments);
        process.waitForFinished(20000);
        const bool xError = process.readAllStandardError().contains("X Error");
        if (!xError || attempt == 5)
            return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
        QTest::qWait(50);
    }
}

bool waitUntil(const std::function<bool()> &condition, int milliseconds = 10000)
{
    for (int waited = 0; waited < milliseconds; waited += 50) {
        if (condition())
            return true;
        QTest::qWait(50);
    }
    return condition();
}

QString windowNamed(const QString &name)
{
    return xdotool({u"search"_s, u"--onlyvisible"_s, u"--name"_s,
                    u"^"_s + QRegularExpression::escape(name) + u"$"_s})
        .section(u'\n', 0, 0);
}

QRect windowGeometry(const QString &window)
{
    const QRegularExpressionMatch match =
        QRegularExpression(u"Position: (-?\\d+),(-?\\d+).*Geometry: (\\d+)x(\\d+)"_s,
                           QRegularExpression::DotMatchesEverythingOption)
            .match(xdotool({u"getwindowgeometry"_s, window}));
    if (!match.hasMatch())
        return QRect(-1, -1, 0, 0);
    return QRect(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt(),
                 match.captured(4).toInt());
}

QString settingsLine(const QString &path, int line)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly)
               ? QString::fromLatin1(file.readAll().split('\n').value(line).trimmed())
               : QString();
}

class ClassSessionEndToEnd : public ::testing::TestWithParam<int>
{
protected:
    void SetUp() override
    {
        const QString program = QStringLiteral(LUMO_PROGRAM_FOLDER);
        for (const char *file : {"lumo", "help.html", "QieZi.wav"})
            ASSERT_TRUE(QFile::copy(QDir(program).filePath(QString::fromLatin1(file)),
                                    folder.filePath(QString::fromLatin1(file))));
        QFile::setPermissions(folder.filePath(u"lumo"_s), QFile::ReadOwner | QFile::ExeOwner);
        ASSERT_TRUE(
            QFile::copy(QStringLiteral(LUMO_ROSTER_TEST_DATA "/class-xlwt.xls"), workbook()));

        settings::SessionSettings values = settings::SessionSettings::defaults(folder.path());
        values.photoWidth = u"300"_s;
        values.photoHeight = u"369"_s;
        values.moveStep = u"2"_s;
        values.outputFolder = output();
        values.compress = 0; // the DPI step alone: quality 100, close to the pixels
        values.backup = 1;
        values.backupFolder = backup();
        values.workbookPath = u"class.xls"_s;
        QDir(folder.path()).mkdir(u"config"_s);
        QFile settingsFile(settingsPath());
        ASSERT_TRUE(settingsFile.open(QIODevice::WriteOnly));
        settingsFile.write(settings::encode(values));
    }

    void TearDown() override
    {
        // The next test starts with Caps Lock off, however often this one pressed it.
        if (isCapsLockOn())
            key("Caps_Lock");
        for (QProcess *process : {&lumo, &windowManager}) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished();
            }
        }
    }

    // The camera program, a window manager, and Lumo with its main window shown.
    void startLumo()
    {
        camera.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&camera));
        windowManager.start(u"openbox"_s, {});
        ASSERT_TRUE(windowManager.waitForStarted());
        QTest::qWait(500);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"HOME"_s, folder.path());
        lumo.setProcessEnvironment(environment);
        lumo.start(folder.filePath(u"lumo"_s), {});
        ASSERT_TRUE(lumo.waitForStarted());
        ASSERT_TRUE(waitUntil([] { return !windowNamed(u"Lumov2.0"_s).isEmpty(); }, 20000));
    }

    // Clicks the control whose centre is at (x, y) pixels in Lumo's main window.
    void click(int x, int y)
    {
        xdotool({u"mousemove"_s, u"--window"_s, windowNamed(u"Lumov2.0"_s), QString::number(x),
                 QString::number(y), u"click"_s, u"1"_s});
    }
    void importClass()
    {
        click(152, 394); // "导入信息"
        answerMessage(u"导入数据"_s);
    }

    QString workbook() const { return folder.filePath(u"class.xls"_s); }
    QString settingsPath() const { return folder.filePath(u"config/xueji_orin.ini"_s); }
    QString output() const { return folder.filePath(u"photos"_s); }
    QString backup() const { return folder.filePath(u"backup"_s); }
    QString photoOf(const QString &id) const { return QDir(output()).filePath(id + u".jpg"_s); }
    QString backupOf(const QString &id) const { return QDir(backup()).filePath(id + u".jpg"_s); }

    void key(const char *name) { xdotool({u"key"_s, QString::fromLatin1(name)}); }

    // Answers Lumo's message box with Return, once it has appeared.
    void answerMessage(const QString &title)
    {
        ASSERT_TRUE(waitUntil([&] { return !windowNamed(title).isEmpty(); }))
            << title.toStdString();
        xdotool({u"windowfocus"_s, u"--sync"_s, windowNamed(title)});
        key("Return");
        ASSERT_TRUE(waitUntil([&] { return windowNamed(title).isEmpty(); })) << title.toStdString();
    }

    // As a click on the camera program would: the X input focus goes to it.
    // Lumo may take the focus back as a message box closes, so it is checked a moment later.
    void focusCamera()
    {
        const QString id = QString::number(camera.winId());
        ASSERT_TRUE(waitUntil([&] {
            xdotool({u"windowfocus"_s, u"--sync"_s, id});
            QTest::qWait(200);
            return xdotool({u"getwindowfocus"_s}) == id;
        }));
        camera.typing->setFocus();
    }

    // One short tap; the next tap comes after a poll of the keys has seen this one.
    void tap(const char *name)
    {
        key(name);
        QTest::qWait(250);
    }

    QPoint framePosition() { return windowGeometry(windowNamed(u"相框"_s)).topLeft(); }

    QTemporaryDir folder;
    CameraWindow camera;
    QProcess windowManager;
    QProcess lumo;
};

} // namespace

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
    camera.update();
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
    roster::RosterTable marked;
    ASSERT_TRUE(roster::importRoster(workbook(), marked).ok);
    EXPECT_EQ(marked.photoMark(1), roster::kPhotoTakenMark);
}
