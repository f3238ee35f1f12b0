// Everything that speaks to the operator in a box goes through here, so that tests can answer.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace lumo::platform {

enum class MessageKind {
    Information,
    Warning, // something failed or was refused: the warning icon
};

class Dialogs
{
public:
    virtual ~Dialogs() = default;

    // A message with an OK button. An empty title shows the program's title.
    virtual void message(const QString &text, const QString &title = QString(),
                         MessageKind kind = MessageKind::Information) = 0;

    // A question with Yes and No, No being the default; true for Yes.
    virtual bool question(const QString &text, const QString &title = QString()) = 0;

    // A choice between the answers, as buttons: the index of the one chosen, or -1 when the box
    // was closed. Where no one can be asked, -1.
    virtual int choose(const QString & /*text*/, const QString & /*title*/,
                       const QStringList & /*answers*/)
    {
        return -1;
    }

    // The open-file dialog, starting in startFolder and offering the files that filter names
    // ("班级名单 (*.xls *.xlsx *.csv)"): the chosen file, or an empty text when the operator
    // cancelled. Where no one can be asked, the answer is a cancel.
    virtual QString openFileName(const QString & /*startFolder*/, const QString & /*filter*/)
    {
        return QString();
    }

    // A folder chosen by the operator, starting in startFolder; empty when cancelled. Where no
    // one can be asked, the answer is a cancel.
    virtual QString chooseFolder(const QString & /*title*/, const QString & /*startFolder*/)
    {
        return QString();
    }

    // The save-file dialog, offering suggestedPath and the files that filter names; the chosen
    // path, or an empty text when the operator cancelled. The dialog itself asks before an
    // existing file is replaced. Where no one can be asked, the answer is a cancel.
    virtual QString saveFileName(const QString & /*title*/, const QString & /*suggestedPath*/,
                                 const QString & /*filter*/)
    {
        return QString();
    }

    // A table for the operator to read and copy: intro above it, one row per entry.
    virtual void showTable(const QString &title, const QString &intro, const QStringList &columns,
                           const QList<QStringList> &rows)
    {
        QStringList lines{intro, columns.join(u'\t')};
        for (const QStringList &row : rows)
            lines << row.join(u'\t');
        message(lines.join(u'\n'), title);
    }

    // A line of text typed by the operator, offered defaultText; nothing when cancelled. Where no
    // one can be asked, the answer is a cancel.
    virtual std::optional<QString> askText(const QString & /*prompt*/, const QString & /*title*/,
                                           const QString & /*defaultText*/ = QString())
    {
        return std::nullopt;
    }
};

} // namespace lumo::platform
