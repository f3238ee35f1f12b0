// The harness of the whole-program tests: the real lumo program on the X server with a window
// manager; a window with a known picture stands in for the camera program and keeps the keyboard
// focus; keys are typed by xdotool.
#pragma once

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

inline const QString kStudent1 = u"110101201001011234"_s;
inline const QString kStudent2 = u"310104201207184000"_s;

inline QColor cameraAt(int x, int y)
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
inline QString xdotool(const QStringList &arguments)
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

inline bool waitUntil(const std::function<bool()> &condition, int milliseconds = 10000)
{
    for (int waited = 0; waited < milliseconds; waited += 50) {
        if (condition())
            return true;
        QTest::qWait(50);
    }
    return condition();
}

inline QString windowNamed(const QString &name)
{
    return xdotool({u"search"_s, u"--onlyvisible"_s, u"--name"_s,
                    u"^"_s + QRegularExpression::escape(name) + u"$"_s})
        .section(u'\n', 0, 0);
}

inline QRect windowGeometry(const QString &window)
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

inline QString settingsLine(const QString &path, int line)
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
    void startLumo(const QStringList &arguments = {})
    {
        camera.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&camera));
        windowManager.start(u"openbox"_s, {});
        ASSERT_TRUE(windowManager.waitForStarted());
        QTest::qWait(500);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"HOME"_s, folder.path());
        lumo.setProcessEnvironment(environment);
        lumo.start(folder.filePath(u"lumo"_s), arguments);
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
        // The class list has students without a number and a wrong one: the pre-flight lists
        // them, and Return closes the list.
        answerMessage(u"身份证号核对"_s);
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
