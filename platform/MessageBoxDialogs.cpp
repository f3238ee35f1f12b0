#include "platform/MessageBoxDialogs.h"

#include <QApplication>
#include <QMessageBox>

namespace {

QString titleOrProgramName(const QString &title)
{
    return title.isEmpty() ? QApplication::applicationDisplayName() : title;
}

} // namespace

void MessageBoxDialogs::message(const QString &text, const QString &title)
{
    QMessageBox::information(QApplication::activeWindow(), titleOrProgramName(title), text, QMessageBox::Ok);
}

bool MessageBoxDialogs::question(const QString &text, const QString &title)
{
    return QMessageBox::question(QApplication::activeWindow(), titleOrProgramName(title), text,
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}
