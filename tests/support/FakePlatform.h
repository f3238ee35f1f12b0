// Doubles of the platform services: they record what Lumo asked for and answer as scripted.
#pragma once

#include "platform/Dialogs.h"
#include "platform/Shell.h"

#include <QString>
#include <QStringList>

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

    QStringList messages;
    QStringList questions;
    QStringList titles;
    bool answerYes = true;
};
