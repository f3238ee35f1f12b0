// Dialogs as Qt message boxes over the active window.
#pragma once

#include "platform/Dialogs.h"

namespace lumo::platform {

class MessageBoxDialogs : public Dialogs
{
public:
    void message(const QString &text, const QString &title, MessageKind kind) override;
    bool question(const QString &text, const QString &title) override;
    int choose(const QString &text, const QString &title, const QStringList &answers) override;
    QString openFileName(const QString &startFolder, const QString &filter) override;
    QString chooseFolder(const QString &title, const QString &startFolder) override;
    QString saveFileName(const QString &title, const QString &suggestedPath,
                         const QString &filter) override;
    void showTable(const QString &title, const QString &intro, const QStringList &columns,
                   const QList<QStringList> &rows) override;
    std::optional<QString> askText(const QString &prompt, const QString &title,
                                   const QString &defaultText) override;
};

} // namespace lumo::platform
