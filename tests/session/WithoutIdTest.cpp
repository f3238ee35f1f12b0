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

    // The class report after packing: the packed photos are found by their backups.
    QList<std::pair<int, int>> progress;
    QObject::connect(session.get(), &session::ClassSession::progressChanged,
                     [&](int done, int total) {
                         progress.append({done, total});
                     });
    dialogs.messages.clear();
    session->writeClassReport();
    EXPECT_TRUE(dialogs.messages.isEmpty()) << "the operator cancelled the save dialog";
    EXPECT_EQ(dialogs.suggestedPaths, QStringList{output.filePath(u"三年二班-班级报告.pdf"_s)});

    dialogs.chosenSaveFile = output.filePath(u"报告"_s);
    session->writeClassReport();
    EXPECT_EQ(progress.last(), std::make_pair(4, 4));
    ASSERT_TRUE(QFileInfo::exists(output.filePath(u"报告.pdf"_s)));
    const QStringList rows = QString::fromUtf8(readBytes(output.filePath(u"报告.csv"_s)).mid(3))
                                 .split(u"\r\n"_s, Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 5);
    EXPECT_TRUE(rows[1].startsWith(u"1,学生1,"_s) && rows[1].contains(u",是,"_s)) << "backup";
    EXPECT_EQ(rows[2], u"2,王小明,,是,没有身份证号,1234567890_0302_王小明.jpg"_s);
    EXPECT_EQ(rows[3], u"3,李/四,*,否,没有身份证号,"_s);
    EXPECT_EQ(dialogs.messages.value(0),
              u"班级报告已保存：%1\n已拍 2 人，未拍 2 人。\n表格：%2"_s.arg(
                  output.filePath(u"报告.pdf"_s), output.filePath(u"报告.csv"_s)));
}

TEST_F(WithoutIdTest, AReportNeedsAClassAndSaysWhenItCannotBeWritten)
{
    start();
    session->writeClassReport();
    EXPECT_EQ(dialogs.messages, QStringList{u"请先导入班级名单，再生成班级报告。"_s});

    importClass(2);
    dialogs.messages.clear();
    dialogs.chosenSaveFile = output.filePath(u"没有的文件夹/报告.pdf"_s);
    session->writeClassReport();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages.first().startsWith(u"班级报告没有保存："_s));
    EXPECT_EQ(dialogs.kinds.value(0), platform::MessageKind::Warning);
}
