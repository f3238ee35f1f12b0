// The class list's import and what the current-student view and the review pane show.
#include "roster/RosterImport.h"
#include "tests/session/SessionFixture.h"

#include <QFile>

namespace {

void writePhoto(const QTemporaryDir &folder, int row)
{
    QImage photo(26, 32, QImage::Format_RGB888);
    photo.fill(Qt::gray);
    ASSERT_TRUE(photo.save(QDir(folder.path()).filePath(idOf(row) + u".jpg"_s), "JPEG"));
}

} // namespace

TEST_F(SessionTest, ImportTellsTheSummaryAndShowsTheFirstStudent)
{
    start();
    ASSERT_TRUE(QFile::copy(u"" LUMO_ROSTER_TEST_DATA "/class-xlwt.xls"_s,
                            program.filePath(u"一班.xls"_s)));
    session->setSetting(&settings::SessionSettings::workbookPath, u"一班.xls"_s);
    session->importClass();
    EXPECT_EQ(dialogs.messages, QStringList{u"本此共导入8名学生，其中有2名无身份证学生"_s});
    // The pre-flight lists every wrong number after the summary; the class is loaded as it is.
    EXPECT_EQ(dialogs.titles, (QStringList{u"导入数据"_s, u"身份证号核对"_s}));
    EXPECT_TRUE(dialogs.tables.value(0).startsWith(u"班级名单中有 8 位学生的身份证号需要核对。"_s));
    ASSERT_EQ(dialogs.tableRows.size(), 8);
    EXPECT_EQ(dialogs.tableRows[0],
              (QStringList{u"1"_s, u"张三"_s, u"110101201001011234"_s, u"校验位错误"_s}));
    EXPECT_EQ(dialogs.tableRows[2],
              (QStringList{u"3"_s, u"王五"_s, u"12345"_s, u"没有身份证号"_s}));
    EXPECT_EQ(session->workbookPath(), program.filePath(u"一班.xls"_s));
    const session::StudentPane &pane = session->pane();
    EXPECT_EQ(pane.numberText, u"1"_s);
    EXPECT_EQ(pane.currentName, u"张三"_s);
    EXPECT_EQ(pane.nextName, u"李四"_s);
    EXPECT_EQ(pane.idNumber, u"110101201001011234"_s);
    EXPECT_EQ(pane.className, u"一年级1班"_s);
    EXPECT_EQ(pane.total, u"8"_s);

    // A failed import changes nothing: the class, its counters and where its marks go back.
    session->goTo(3);
    dialogs.messages.clear();
    session->setSetting(&settings::SessionSettings::workbookPath, u"缺少的文件.xls"_s);
    session->importClass();
    EXPECT_EQ(dialogs.messages, QStringList{roster::kWorkbookRequirementsMessage});
    EXPECT_EQ(dialogs.titles.last(), u"EXCEL表格要求"_s);
    EXPECT_EQ(dialogs.kinds.last(), platform::MessageKind::Warning);
    EXPECT_EQ(session->studentCount(), 8);
    EXPECT_EQ(pane.currentName, u"王五"_s);
    EXPECT_EQ(pane.total, u"8"_s);
    EXPECT_EQ(pane.className, u"一年级1班"_s);
    EXPECT_EQ(session->workbookPath(), program.filePath(u"一班.xls"_s));

    // A cancelled file dialog imports nothing; a chosen file is imported. The dialog starts in
    // the class list's folder and offers class lists only.
    session->chooseAndImportClass();
    EXPECT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.fileDialogs,
              (QStringList{program.path(), u"班级名单 (*.xls *.xlsx *.csv)"_s}));
    dialogs.chosenFile = program.filePath(u"二班.xlsx"_s);
    ASSERT_TRUE(
        QFile::copy(u"" LUMO_ROSTER_TEST_DATA "/class-openpyxl.xlsx"_s, dialogs.chosenFile));
    session->chooseAndImportClass();
    EXPECT_EQ(session->settings().workbookPath, dialogs.chosenFile);
    EXPECT_EQ(session->workbookPath(), dialogs.chosenFile);
}

TEST_F(SessionTest, APaneForTheFirstTheMiddleAndTheEndOfTheClass)
{
    start();
    importClass(120);
    EXPECT_TRUE(dialogs.tables.isEmpty()) << "valid numbers: nothing for the pre-flight to show";
    const session::StudentPane &pane = session->pane();
    EXPECT_EQ(pane.listNumbers.first(), u"3"_s);
    EXPECT_EQ(pane.listNumbers.size(), 34);
    EXPECT_EQ(pane.listNames.last(), u"学生36"_s);
    EXPECT_TRUE(pane.newer.name.isEmpty());
    EXPECT_EQ(pane.remaining, u"120"_s);
    session->goTo(12);
    EXPECT_EQ(pane.newer.number, u"011"_s);
    EXPECT_EQ(pane.older.number, u"010"_s);
    EXPECT_EQ(pane.older.name, u"学生10"_s);

    importClass(5);
    session->goTo(4);
    EXPECT_EQ(pane.nextName, u"学生5"_s);
    EXPECT_EQ(pane.listNames, QStringList{QString()}) << "one empty line after the class";
    session->goTo(6);
    EXPECT_TRUE(pane.currentName.isEmpty());
    EXPECT_EQ(pane.newer.name, u"学生5"_s);
    EXPECT_EQ(pane.older.name, u"学生4"_s);
    EXPECT_TRUE(session->roster().name(10).isEmpty()) << "nothing left of the longer class";
}

TEST_F(SessionTest, PhotosAreShownMarkedAndCountedAtOnce)
{
    start();
    importClass(10);
    const session::StudentPane &pane = session->pane();
    writePhoto(backup, 5); // only the backup copy is left
    session->goTo(6);
    EXPECT_FALSE(pane.newer.photo.isNull());
    EXPECT_EQ(session->roster().photoMark(5), roster::kPhotoTakenMark);
    EXPECT_EQ(pane.photographed, u"1"_s);

    writePhoto(output, 6);
    session->goTo(7);
    EXPECT_EQ(pane.photographed, u"2"_s);
    EXPECT_EQ(pane.remaining, u"8"_s);
    EXPECT_FALSE(pane.older.photo.isNull()) << "student 5 in the older slot";

    session->goTo(9); // student 8 has no photo: nothing is marked
    EXPECT_TRUE(pane.newer.photo.isNull());
    EXPECT_TRUE(session->roster().photoMark(8).isEmpty());

    writeBytes(photoOf(9), "not a picture");
    session->goTo(10);
    EXPECT_EQ(pane.newer.note, u"照片无法读取"_s);
    EXPECT_EQ(session->roster().photoMark(9), roster::kPhotoTakenMark) << "the file exists";
}

TEST_F(SessionTest, TypedNumbers)
{
    start();
    importClass(5);
    session->typeStudentNumber(u"0"_s);
    EXPECT_EQ(session->pane().currentName, u"姓名"_s) << "the header row";
    session->typeStudentNumber(u"3"_s);
    for (const QString &notYet : {u"3x"_s, QString()}) {
        session->typeStudentNumber(notYet);
        EXPECT_EQ(session->currentIndex(), 3);
    }
    session->typeStudentNumber(u"-2"_s);
    EXPECT_EQ(session->currentIndex(), 0);
    for (const QString &beyond : {u"5000"_s, u"99999"_s}) {
        session->typeStudentNumber(beyond);
        EXPECT_EQ(session->currentIndex(), 2998);
        EXPECT_EQ(session->pane().numberText, u"2998"_s);
    }
}
