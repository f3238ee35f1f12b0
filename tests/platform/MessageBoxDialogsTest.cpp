// The text question of the real dialogs on Qt's offscreen platform, answered from a timer that
// fires inside the dialog's own event loop.
#include "platform/qt/MessageBoxDialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QTimer>

#include <gtest/gtest.h>

using lumo::platform::MessageBoxDialogs;

namespace {

struct SeenBox
{
    QString title, prompt, offered;
};

// Notes what the input box shows, then types the text and accepts, or cancels when given none.
void answerInputBox(SeenBox *seen, const std::optional<QString> &typed)
{
    QTimer::singleShot(0, [=] {
        auto *box = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        *seen = {box->windowTitle(), box->labelText(), box->textValue()};
        if (typed) {
            box->setTextValue(*typed);
            box->accept();
        } else {
            box->reject();
        }
    });
}

} // namespace

TEST(MessageBoxDialogs, AskTextGivesTheTypedTextOrNothingWhenCancelled)
{
    MessageBoxDialogs dialogs;
    SeenBox seen;
    answerInputBox(&seen, QStringLiteral("三年级 二班"));
    EXPECT_EQ(dialogs.askText(QStringLiteral("请输入"), QStringLiteral("压缩包文件名设置"),
                              QStringLiteral("默认")),
              QStringLiteral("三年级 二班"));
    EXPECT_EQ(seen.title, QStringLiteral("压缩包文件名设置"));
    EXPECT_EQ(seen.prompt, QStringLiteral("请输入"));
    EXPECT_EQ(seen.offered, QStringLiteral("默认"));

    answerInputBox(&seen, QString()); // an empty answer is an answer
    EXPECT_EQ(dialogs.askText(QStringLiteral("请输入"), QString(), QStringLiteral("默认")),
              QString());
    EXPECT_EQ(seen.title, QStringLiteral("Lumo"));

    answerInputBox(&seen, std::nullopt);
    EXPECT_EQ(dialogs.askText(QStringLiteral("请输入"), QString(), QString()), std::nullopt);
}
