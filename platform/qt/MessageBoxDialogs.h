// Dialogs as Qt message boxes over the active window.
#pragma once

#include "platform/Dialogs.h"

namespace lumo::platform {

class MessageBoxDialogs : public Dialogs
{
public:
    void message(const QString &text, const QString &title) override;
    bool question(const QString &text, const QString &title) override;
    QString openFileName() override;
    std::optional<QString> askText(const QString &prompt, const QString &title,
                                   const QString &defaultText) override;
};

} // namespace lumo::platform
