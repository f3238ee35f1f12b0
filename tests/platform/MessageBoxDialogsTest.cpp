// The real dialogs on Qt's offscreen platform, answered from a timer that fires inside the
// dialog's own event loop.
#include "platform/qt/MessageBoxDialogs.h"
#include "platform/qt/ChineseTranslations.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace lumo::platform;

// Answers the box of type Box that the next call shows; a box still open then is cancelled.
template <typename Box, typename Answer> void answerNextBox(Answer answer)
{
    QTimer::singleShot(0, [answer] {
        auto *box = qobject_cast<Box *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        answer(*box);
        box->close();
    });
}

TEST(MessageBoxDialogs, AskTextGivesTheTypedTextOrNothingWhenCancelled)
{
    MessageBoxDialogs dialogs;
    // The title asked for, or "Lumo" without one; typed text, an empty answer (still an
    // answer), or a cancel.
    const std::tuple<QString, QString, std::optional<QString>> cases[] = {
        {"压缩包文件名设置", "压缩包文件名设置", "三年级 二班"},
        {"", "Lumo", ""},
        {"", "Lumo", std::nullopt}};
    for (const auto &[title, shownTitle, typed] : cases) {
        QStringList shown; // what the input box showed: title, prompt and offered text
        answerNextBox<QInputDialog>([&](QInputDialog &box) {
            shown = {box.windowTitle(), box.labelText(), box.textValue()};
            if (typed) {
                box.setTextValue(*typed);
                box.accept();
            }
        });
        EXPECT_EQ(dialogs.askText("请输入", title, "默认"), typed);
        EXPECT_EQ(shown, QStringList({shownTitle, "请输入", "默认"}));
    }
}

TEST(MessageBoxDialogs, QuestionsHaveChineseButtonsAndAnswerNoToReturnWarningsTheirIcon)
{
    ASSERT_TRUE(installChineseTranslations(*qApp));
    MessageBoxDialogs dialogs;
    QStringList shown;
    answerNextBox<QMessageBox>([&](QMessageBox &box) {
        shown = {box.button(QMessageBox::Yes)->text(), box.button(QMessageBox::No)->text()};
        QTest::keyClick(box.focusWidget() ? box.focusWidget() : &box, Qt::Key_Return);
    });
    EXPECT_FALSE(dialogs.question("重拍这位同学？", QString()));
    EXPECT_EQ(shown, QStringList({"是(&Y)", "否(&N)"}));

    QMessageBox::Icon icon = QMessageBox::NoIcon;
    answerNextBox<QMessageBox>([&](QMessageBox &box) { icon = box.icon(); });
    dialogs.message("照片没有保存", QString(), MessageKind::Warning);
    EXPECT_EQ(icon, QMessageBox::Warning);
}

TEST(MessageBoxDialogs, TablesShowEveryRowAndCopyThemForASpreadsheet)
{
    MessageBoxDialogs dialogs;
    const QStringList columns{"序号", "姓名", "身份证号", "问题"};
    const QList<QStringList> rows{{"2", "王小明", "11010519491231002x", "格式不对"},
                                  {"5", "李四", "", "没有身份证号"}};
    int shownRows = 0;
    QString copiedAll;
    QString copiedSelection;
    answerNextBox<QDialog>([&](QDialog &dialog) {
        auto *table = dialog.findChild<QTableWidget *>("table");
        ASSERT_NE(table, nullptr);
        shownRows = table->rowCount();
        EXPECT_EQ(table->item(1, 1)->text(), "李四");
        dialog.findChild<QPushButton *>("copyAll")->click();
        copiedAll = QGuiApplication::clipboard()->text();
        table->selectRow(1);
        QTest::keySequence(table, QKeySequence::Copy);
        copiedSelection = QGuiApplication::clipboard()->text();
    });
    dialogs.showTable("身份证号核对", "以下学生的身份证号有问题：", columns, rows);
    EXPECT_EQ(shownRows, 2);
    EXPECT_EQ(copiedAll, "序号\t姓名\t身份证号\t问题\n2\t王小明\t11010519491231002x\t格式不对\n"
                         "5\t李四\t\t没有身份证号\n");
    EXPECT_EQ(copiedSelection, "序号\t姓名\t身份证号\t问题\n5\t李四\t\t没有身份证号\n");
}
