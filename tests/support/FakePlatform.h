// Doubles of the platform services: they record what Lumo asked for and answer as scripted.
#pragma once

#include "platform/Dialogs.h"
#include "platform/FolderWatch.h"
#include "platform/KeyPoller.h"
#include "platform/LiveCamera.h"
#include "platform/PhotoSource.h"
#include "platform/Shell.h"
#include "platform/ShutterSound.h"
#include "platform/Speech.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>

class FakeShell : public lumo::platform::Shell
{
public:
    bool openFile(const QString &path) override
    {
        openedFiles << path;
        return succeeds;
    }
    bool openFolder(const QString &path) override
    {
        openedFolders << path;
        return succeeds;
    }

    QStringList openedFiles;
    QStringList openedFolders;
    bool succeeds = true;
};

class FakeDialogs : public lumo::platform::Dialogs
{
public:
    void message(const QString &text, const QString &title,
                 lumo::platform::MessageKind kind) override
    {
        messages << text;
        titles << title;
        kinds << kind;
        if (whileShown)
            whileShown();
    }
    bool question(const QString &text, const QString &title) override
    {
        questions << text;
        titles << title;
        return answerYes;
    }
    int choose(const QString &text, const QString &title, const QStringList &) override
    {
        choices << text;
        titles << title;
        return chosen.empty() ? -1 : chosen.takeFirst();
    }
    QString openFileName(const QString &startFolder, const QString &filter) override
    {
        fileDialogs << startFolder << filter;
        return chosenFile;
    }
    QString chooseFolder(const QString &, const QString &) override { return chosenFolder; }
    QString saveFileName(const QString &, const QString &suggestedPath, const QString &) override
    {
        suggestedPaths << suggestedPath;
        return chosenSaveFile;
    }
    void showTable(const QString &title, const QString &intro, const QStringList &,
                   const QList<QStringList> &rows) override
    {
        titles << title;
        tables << intro;
        tableRows = rows;
    }
    std::optional<QString> askText(const QString &prompt, const QString &title,
                                   const QString &) override
    {
        textPrompts << prompt << title;
        return textAnswer;
    }

    QStringList messages;
    QStringList questions;
    QStringList titles;
    QList<lumo::platform::MessageKind> kinds;
    QStringList fileDialogs; // start folder and filter of each file dialog
    QStringList choices;     // the text of each choice box
    QList<int> chosen;       // the answers to the coming choice boxes; closed when none
    bool answerYes = true;
    QString chosenFile;                // empty: the operator cancels the file dialog
    QString chosenFolder;              // empty: the operator cancels the folder dialog
    QStringList textPrompts;           // prompt and title of each text question
    QStringList suggestedPaths;        // the path each save dialog offered
    QString chosenSaveFile;            // empty: the operator cancels the save dialog
    QStringList tables;                // the intro of each table shown
    QList<QStringList> tableRows;      // the rows of the last table shown
    std::optional<QString> textAnswer; // nothing: the operator cancels
    std::function<void()> whileShown;  // runs as if the window went on working meanwhile
};

// What the coming polls see, one poll each; nothing when none is queued.
class FakeKeyPoller : public lumo::platform::KeyPoller
{
public:
    using Keys = std::initializer_list<lumo::platform::HotKey>;

    bool isAvailable() const override { return true; }
    QString unavailableReason() const override { return QString(); }
    lumo::platform::KeyPoll poll() override
    {
        ++polls;
        if (queued.empty())
            return {};
        const lumo::platform::KeyPoll keys = queued.front();
        queued.pop_front();
        return keys;
    }

    // Keys that went down since the previous poll and are still down.
    void press(Keys keys) { queued.push_back({setOf(keys), setOf(keys)}); }
    // Keys down since before the previous poll.
    void hold(Keys keys) { queued.push_back({{}, setOf(keys)}); }

    std::deque<lumo::platform::KeyPoll> queued;
    int polls = 0;

private:
    static lumo::platform::HotKeySet setOf(Keys keys)
    {
        lumo::platform::HotKeySet set;
        for (lumo::platform::HotKey key : keys)
            lumo::platform::insert(set, key);
        return set;
    }
};

// A camera picture on the screen whose pixel (x, y) has a colour made from x and y.
class FakePhotoSource : public lumo::platform::PhotoSource
{
public:
    static QColor colourAt(int x, int y) { return QColor(x & 0xff, y & 0xff, (x + y) & 0xff); }

    bool isAvailable() const override { return true; }
    QString unavailableReason() const override { return QString(); }
    QImage capture(const QRect &rect) override
    {
        captured << rect;
        return picture(rect);
    }
    QImage peek(const QRect &rect) override
    {
        ++peeks;
        return picture(rect);
    }
    QImage picture(const QRect &rect) const
    {
        if (fails)
            return QImage();
        if (!shown.isNull())
            return shown.scaled(rect.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        QImage picture(rect.size(), QImage::Format_RGB32);
        for (int y = 0; y < rect.height(); ++y)
            for (int x = 0; x < rect.width(); ++x)
                picture.setPixelColor(
                    x, y, uniform ? Qt::black : colourAt(rect.x() + x + shift, rect.y() + y));
        return picture;
    }

    QList<QRect> captured;
    int peeks = 0;
    QImage shown; // what the screen shows under the frame, scaled to it; else a colour pattern
    bool fails = false;
    bool uniform = false; // a black screen
    int shift = 0;        // the student moved
};

class FakeSpeech : public lumo::platform::Speech
{
public:
    bool isAvailable() const override { return true; }
    QString unavailableReason() const override { return QString(); }
    bool speak(const QString &text) override
    {
        spoken << text;
        if (whileSpeaking)
            whileSpeaking();
        return true;
    }

    QStringList spoken;
    std::function<void()> whileSpeaking; // runs as if the window went on working meanwhile
};

class FakeShutterSound : public lumo::platform::ShutterSound
{
public:
    bool play(const QString &soundFile) override
    {
        played << soundFile;
        return true;
    }
    QString lastError() const override { return QString(); }

    QStringList played;
};

// A camera whose newest frame the test sets.
class FakeCamera : public lumo::platform::LiveCamera
{
public:
    QList<lumo::platform::CameraDevice> devices() const override
    {
        return {{"cam0", "测试摄像头"}};
    }
    void start(const QByteArray &deviceId, QSize) override
    {
        started = deviceId.isEmpty() ? "default" : deviceId;
    }
    void stop() override { started.clear(); }
    QImage latestFrame() const override { return frame; }
    QString problem() const override
    {
        return frame.isNull() ? QStringLiteral("没有找到摄像头。") : QString();
    }

    QByteArray started; // the device started, empty while stopped
    QImage frame;
};

class FakeFolderWatch : public lumo::platform::FolderWatch
{
public:
    void watch(const QString &folder) override { m_folder = folder; }
    QString watchedFolder() const override { return m_folder; }
    void arrive(const QImage &picture) { emit pictureArrived(picture, QString()); }

private:
    QString m_folder;
};
