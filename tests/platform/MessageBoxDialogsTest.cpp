// The text question of the real dialogs on Qt's offscreen platform, answered by a timer.
#include "platform/MessageBoxDialogs.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Once the input box is up: notes its title and prompt, then types the text and accepts, or
// cancels when there is no text.
void answerInputBox(QString *seenTitle, QString *seenPrompt, const std::optional<QString> &typed)
{
    QTimer::singleShot(0, [=] {
        auto *box = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        if (!box) {
            answerInputBox(seenTitle, seenPrompt, typed);
            return;
        }
        *seenTitle = box->windowTitle();
        *seenPrompt = box->labelText();
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
    QString title, prompt;
    answerInputBox(&title, &prompt, QStringLiteral("三年级 二班"));
    EXPECT_EQ(
        dialogs.askText(QStringLiteral("请输入"), QStringLiteral("压缩包文件名设置"), QString()),
        QStringLiteral("三年级 二班"));
    EXPECT_EQ(title, QStringLiteral("压缩包文件名设置"));
    EXPECT_EQ(prompt, QStringLiteral("请输入"));

    answerInputBox(&title, &prompt, QString());
    EXPECT_EQ(dialogs.askText(QStringLiteral("请输入"), QString(), QStringLiteral("默认")),
              QString());
    EXPECT_EQ(title, QStringLiteral("Lumo"));

    answerInputBox(&title, &prompt, std::nullopt);
    EXPECT_EQ(
        dialogs.askText(QStringLiteral("请输入"), QStringLiteral("t"), QStringLiteral("默认")),
        std::nullopt);
}
