// The text question of the real dialogs on Qt's offscreen platform, answered from a timer that
// fires inside the dialog's own event loop.
#include "platform/qt/MessageBoxDialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QTimer>

#include <gtest/gtest.h>

using lumo::platform::MessageBoxDialogs;

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
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            shown = {box->windowTitle(), box->labelText(), box->textValue()};
            if (typed) {
                box->setTextValue(*typed);
                box->accept();
            } else {
                box->reject();
            }
        });
        EXPECT_EQ(dialogs.askText("请输入", title, "默认"), typed);
        EXPECT_EQ(shown, QStringList({shownTitle, "请输入", "默认"}));
    }
}
