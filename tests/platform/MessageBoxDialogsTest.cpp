// The real dialogs on Qt's offscreen platform, answered from a timer that fires inside the
// dialog's own event loop.
#include "platform/qt/MessageBoxDialogs.h"
#include "platform/qt/ChineseTranslations.h"
#include "tests/support/TestFiles.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace lumo::platform;

namespace {

// Answers the box of type Box that the next call shows.
template <typename Box> void answerNextBox(const std::function<void(Box &)> &answer)
{
    QTimer::singleShot(0, [answer] {
        auto *box = qobject_cast<Box *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        answer(*box);
    });
}

} // namespace

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
            } else {
                box.reject();
            }
        });
        EXPECT_EQ(dialogs.askText("请输入", title, "默认"), typed);
        EXPECT_EQ(shown, QStringList({shownTitle, "请输入", "默认"}));
    }
}

TEST(MessageBoxDialogs, QuestionsInChineseAnswerNoToReturnAndWarningsShowTheirIcon)
{
    ASSERT_TRUE(installChineseTranslations(*qApp));
    MessageBoxDialogs dialogs;
    QStringList buttons;
    answerNextBox<QMessageBox>([&](QMessageBox &box) {
        buttons = {box.button(QMessageBox::Yes)->text(), box.button(QMessageBox::No)->text()};
        QTest::keyClick(box.focusWidget() ? box.focusWidget() : &box, Qt::Key_Return);
    });
    EXPECT_FALSE(dialogs.question("重拍这位同学？", QString()));
    EXPECT_EQ(buttons, QStringList({"是(&Y)", "否(&N)"}));
    answerNextBox<QMessageBox>([](QMessageBox &box) { box.button(QMessageBox::Yes)->click(); });
    EXPECT_TRUE(dialogs.question("重拍这位同学？", QString()));

    for (const MessageKind kind : {MessageKind::Warning, MessageKind::Information}) {
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        answerNextBox<QMessageBox>([&](QMessageBox &box) {
            icon = box.icon();
            box.accept();
        });
        dialogs.message("照片没有保存", QString(), kind);
        EXPECT_EQ(icon,
                  kind == MessageKind::Warning ? QMessageBox::Warning : QMessageBox::Information);
    }
}

TEST(MessageBoxDialogs, OpenFileStartsInTheFolderWithTheFilter)
{
    QTemporaryDir folder;
    writeBytes(folder.filePath("名单.csv"), "");
    MessageBoxDialogs dialogs;
    QStringList shown;
    answerNextBox<QFileDialog>([&](QFileDialog &box) {
        shown = {box.directory().path(), box.nameFilters().join('|')};
        box.selectFile("名单.csv");
        static_cast<QDialog &>(box).accept();
    });
    EXPECT_EQ(dialogs.openFileName(folder.path(), "班级名单 (*.xls *.xlsx *.csv)"),
              folder.filePath("名单.csv"));
    EXPECT_EQ(shown, QStringList({folder.path(), "班级名单 (*.xls *.xlsx *.csv)"}));
}
