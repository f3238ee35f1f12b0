// Students without an ID-card number: refused as always until the school's registry code and
// the class number are set, then photographed under the registry's name for them.
#include "tests/session/SessionFixture.h"

#include "roster/RosterTable.h"

#include <QFileInfo>

namespace {

class WithoutIdTest : public SessionTest
{
protected:
    // 学生1 has a number, 王小明 has none, "李/四" has none and a name that cannot name a file.
    void importMixedClass(bool withCode)
    {
        start();
        QString csv = u"姓名,身份证号,照片,班级\n"_s;
        csv += u"学生1,%1,,三年二班\n王小明,,,三年二班\n李/四,无,,三年二班\n学生4,%2,,三年二班\n"_s
                   .arg(idOf(1), idOf(4));
        writeBytes(program.filePath(u"class.csv"_s), csv.toUtf8());
        session->setSetting(&settings::SessionSettings::workbookPath, u"class.csv"_s);
        session->setSetting(&settings::SessionSettings::outputFolder, output.path());
        session->setSetting(&settings::SessionSettings::backupFolder, backup.path());
        session->setSetting(&settings::SessionSettings::backup, 1);
        if (withCode) {
            settings::LumoSettings options = session->lumoSettings();
            options.schoolCode = u"1234567890"_s;
            options.classNumber = u"0302"_s;
            session->setLumoSettings(options);
        }
        session->importClass();
        dialogs.messages.clear();
    }

    QString withoutIdPhoto(const QTemporaryDir &folder) const
    {
        return folder.filePath(u"无身份证学生/1234567890_0302_王小明.jpg"_s);
    }
};

} // namespace

TEST_F(WithoutIdTest, WithoutTheRegistryCodeTheyAreRefusedAsAlways)
{
    importMixedClass(false);
    session->next();
    session->next(); // 王小明
    EXPECT_EQ(dialogs.messages, QStringList{u"这是无身份证学生！！！"_s});
    EXPECT_FALSE(QFileInfo::exists(output.filePath(u"无身份证学生"_s)));
    EXPECT_EQ(session->currentIndex(), 3) << "the class moves on as always";
    EXPECT_EQ(session->pane().missing, QStringList{u"2 王小明"_s}) << "to be called back";
    session->skip();
    session->skip();
    EXPECT_EQ(session->pane().missing, (QStringList{u"2 王小明"_s, u"3 李/四"_s, u"4 学生4"_s}))
        << "past the end of the class: everyone without a photo";
}

TEST_F(WithoutIdTest, WithItTheyArePhotographedMarkedReviewedAndLeftOutOfTheArchive)
{
    importMixedClass(true);
    session->next();
    session->next(); // 王小明: saved under the registry's name, with its backup
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join(u'\n').toStdString();
    EXPECT_TRUE(QFileInfo::exists(withoutIdPhoto(output)));
    EXPECT_TRUE(QFileInfo::exists(withoutIdPhoto(backup)));
    EXPECT_FALSE(session->pane().newer.photo.isNull()) << "the review pane shows it";
    EXPECT_EQ(session->roster().photoMark(2), roster::kPhotoTakenMark);
    EXPECT_EQ(session->photographedCount(), 2);

    session->next(); // "李/四": a name that cannot name a file is refused, nothing written
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages.first().startsWith(u"这是无身份证学生！！！\n姓名“李/四”"_s));
    EXPECT_EQ(QDir(output.filePath(u"无身份证学生"_s)).entryList(QDir::Files).size(), 1);

    // Photographed again: the earlier photo is asked about, as for everyone else.
    session->goTo(2);
    dialogs.answerYes = false;
    session->next();
    EXPECT_EQ(dialogs.questions.size(), 1);

    dialogs.textAnswer = u"三年二班"_s;
    session->packClass();
    EXPECT_TRUE(QFileInfo::exists(output.filePath(u"三年二班.zip"_s)));
    EXPECT_FALSE(QFileInfo::exists(photoOf(1))) << "packed";
    EXPECT_TRUE(QFileInfo::exists(withoutIdPhoto(output))) << "packed separately, not here";
}
