#include "platform/qt/MessageBoxDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace lumo::platform {

namespace {

// A box without a title of its own shows the program's title.
QString titleOrProgramName(const QString &title)
{
    return title.isEmpty() ? QStringLiteral("Lumo") : title;
}

} // namespace

void MessageBoxDialogs::message(const QString &text, const QString &title, MessageKind kind)
{
    QMessageBox box(kind == MessageKind::Warning ? QMessageBox::Warning : QMessageBox::Information,
                    titleOrProgramName(title), text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

bool MessageBoxDialogs::question(const QString &text, const QString &title)
{
    // No is the default, so that a Return typed out of habit does not confirm.
    return QMessageBox::question(QApplication::activeWindow(), titleOrProgramName(title), text,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

int MessageBoxDialogs::choose(const QString &text, const QString &title, const QStringList &answers)
{
    QMessageBox box(QMessageBox::Warning, titleOrProgramName(title), text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    QList<QAbstractButton *> buttons;
    for (const QString &answer : answers)
        buttons << box.addButton(answer, QMessageBox::AcceptRole);
    box.exec();
    return int(buttons.indexOf(box.clickedButton()));
}

QString MessageBoxDialogs::openFileName(const QString &startFolder, const QString &filter)
{
    return QFileDialog::getOpenFileName(QApplication::activeWindow(),
                                        QStringLiteral("选择班级名单"), startFolder, filter);
}

QString MessageBoxDialogs::chooseFolder(const QString &title, const QString &startFolder)
{
    return QFileDialog::getExistingDirectory(QApplication::activeWindow(), title, startFolder);
}

std::optional<QString> MessageBoxDialogs::askText(const QString &prompt, const QString &title,
                                                  const QString &defaultText)
{
    bool accepted = false;
    const QString text =
        QInputDialog::getText(QApplication::activeWindow(), titleOrProgramName(title), prompt,
                              QLineEdit::Normal, defaultText, &accepted);
    if (!accepted)
        return std::nullopt;
    return text;
}

} // namespace lumo::platform
