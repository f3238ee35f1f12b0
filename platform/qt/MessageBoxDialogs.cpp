#include "platform/qt/MessageBoxDialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <functional>

namespace lumo::platform {

namespace {

// A box without a title of its own shows the program's title.
QString titleOrProgramName(const QString &title)
{
    return title.isEmpty() ? QStringLiteral("Lumo") : title;
}

// The cells as tab-separated lines, as spreadsheet programs paste them.
QString tabSeparated(const QStringList &columns, const QList<QStringList> &rows)
{
    QStringList lines{columns.join(u'\t')};
    for (const QStringList &row : rows)
        lines << row.join(u'\t');
    return lines.join(u'\n') + u'\n';
}

// The selected rows of the table, with the header line.
QString selectedRowsText(const QTableWidget &table, const QStringList &columns,
                         const QList<QStringList> &rows)
{
    QList<QStringList> selected;
    for (int row = 0; row < int(rows.size()); ++row) {
        if (table.selectionModel()->isRowSelected(row, QModelIndex()))
            selected << rows[row];
    }
    return tabSeparated(columns, selected.isEmpty() ? rows : selected);
}

// Ctrl+C copies whole rows, not the one cell the item view would copy.
class CopyableTable : public QTableWidget
{
public:
    using QTableWidget::QTableWidget;
    std::function<void()> copySelection;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->matches(QKeySequence::Copy) && copySelection) {
            copySelection();
            return;
        }
        QTableWidget::keyPressEvent(event);
    }
};

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

QString MessageBoxDialogs::saveFileName(const QString &title, const QString &suggestedPath,
                                        const QString &filter)
{
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), titleOrProgramName(title),
                                        suggestedPath, filter);
}

void MessageBoxDialogs::showTable(const QString &title, const QString &intro,
                                  const QStringList &columns, const QList<QStringList> &rows)
{
    QDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(titleOrProgramName(title));
    auto *layout = new QVBoxLayout(&dialog);
    auto *introLabel = new QLabel(intro, &dialog);
    introLabel->setWordWrap(true);
    layout->addWidget(introLabel);

    auto *table = new CopyableTable(int(rows.size()), int(columns.size()), &dialog);
    table->setObjectName(QStringLiteral("table"));
    table->setHorizontalHeaderLabels(columns);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->hide();
    for (int row = 0; row < int(rows.size()); ++row) {
        for (int column = 0; column < int(rows[row].size()) && column < int(columns.size());
             ++column)
            table->setItem(row, column, new QTableWidgetItem(rows[row][column]));
    }
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table);

    table->copySelection = [=] {
        QGuiApplication::clipboard()->setText(selectedRowsText(*table, columns, rows));
    };

    auto *buttons = new QDialogButtonBox(&dialog);
    QPushButton *copyAll =
        buttons->addButton(QStringLiteral("全部复制"), QDialogButtonBox::ActionRole);
    copyAll->setObjectName(QStringLiteral("copyAll"));
    copyAll->setAutoDefault(false);
    QPushButton *close = buttons->addButton(QStringLiteral("关闭"), QDialogButtonBox::RejectRole);
    close->setDefault(true);
    QObject::connect(copyAll, &QPushButton::clicked, &dialog,
                     [&] { QGuiApplication::clipboard()->setText(tabSeparated(columns, rows)); });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);

    dialog.resize(720, 420);
    dialog.exec();
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
