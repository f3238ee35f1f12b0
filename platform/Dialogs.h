// Everything that speaks to the operator in a box goes through here, so that tests can answer.
#pragma once

#include <QString>

class Dialogs
{
public:
    virtual ~Dialogs() = default;

    // A message with an OK button. An empty title shows the program's title.
    virtual void message(const QString &text, const QString &title = QString()) = 0;

    // A question with Yes and No; true for Yes.
    virtual bool question(const QString &text, const QString &title = QString()) = 0;

    // The open-file dialog: the chosen file, or an empty text when the operator cancelled.
    virtual QString openFileName() = 0;
};
