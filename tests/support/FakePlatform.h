// Doubles of the platform services: they record what Lumo asked for and answer as scripted.
#pragma once

#include "app/ProgramEnvironment.h"
#include "platform/Dialogs.h"
#include "platform/KeyPoller.h"
#include "platform/ScreenGrabber.h"
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

class FakeShell : public Shell
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

class FakeDialogs : public Dialogs
{
public:
    void message(const QString &text, const QString &title) override
    {
        messages << text;
        titles << title;
    }
    bool question(const QString &text, const QString &title) override
    {
        questions << text;
        titles << title;
        return answerYes;
    }
    QString openFileName() override
    {
        ++fileDialogs;
        return chosenFile;
    }
    std::optional<QString> askText(const QString &prompt, const QString &title,
                                   const QString &defaultText) override
    {
        textPrompts << prompt;
        textTitles << title;
        textDefaults << defaultText;
        return textAnswer;
    }

    QStringList messages;
    QStringList questions;
    QStringList titles;
    bool answerYes = true;
    QString chosenFile; // empty: the operator cancels the file dialog
    int fileDialogs = 0;
    QStringList textPrompts;
    QStringList textTitles;
    QStringList textDefaults;
    std::optional<QString> textAnswer; // nothing: the operator cancels
};

// Keys pressed for the coming polls, one set per poll; an empty set when none is queued.
class FakeKeyPoller : public KeyPoller
{
public:
    bool isAvailable() const override { return true; }
    QString unavailableReason() const override { return QString(); }
    HotKeySet poll() override
    {
        ++polls;
        if (pressed.empty())
            return {};
        const HotKeySet keys = pressed.front();
        pressed.pop_front();
        return keys;
    }

    void press(std::initializer_list<HotKey> keys)
    {
        HotKeySet set;
        for (HotKey key : keys)
            insert(set, key);
        pressed.push_back(set);
    }

    std::deque<HotKeySet> pressed;
    int polls = 0;
};

// A screen whose pixel (x, y) has a colour made from x and y.
class FakeScreenGrabber : public ScreenGrabber
{
public:
    static QColor colourAt(int x, int y) { return QColor(x & 0xff, y & 0xff, (x + y) & 0xff); }

    QImage grab(const QRect &rect) override
    {
        grabbed << rect;
        if (fails)
            return QImage();
        QImage picture(rect.size(), QImage::Format_RGB32);
        for (int y = 0; y < rect.height(); ++y)
            for (int x = 0; x < rect.width(); ++x)
                picture.setPixelColor(x, y, colourAt(rect.x() + x, rect.y() + y));
        return picture;
    }
    void letWindowsRepaint() override { ++repaintWaits; }

    QList<QRect> grabbed;
    int repaintWaits = 0;
    bool fails = false;
};

class FakeSpeech : public Speech
{
public:
    bool isAvailable() const override { return available; }
    QString unavailableReason() const override { return QStringLiteral("no voice"); }
    bool speak(const QString &text) override
    {
        spoken << text;
        if (whileSpeaking)
            whileSpeaking();
        return available;
    }

    QStringList spoken;
    bool available = true;
    std::function<void()> whileSpeaking; // runs as if the window went on working meanwhile
};

class FakeShutterSound : public ShutterSound
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

// All the doubles together, and the environment of a main window that uses them.
struct FakeDesktop
{
    ProgramEnvironment environment(const QString &programFolder, const QString &userConfigFolder,
                                   const QString &homeFolder)
    {
        return ProgramEnvironment{programFolder, userConfigFolder, homeFolder, shell, dialogs,
                                  keys,          screen,           speech,     sound};
    }

    FakeShell shell;
    FakeDialogs dialogs;
    FakeKeyPoller keys;
    FakeScreenGrabber screen;
    FakeSpeech speech;
    FakeShutterSound sound;
};
