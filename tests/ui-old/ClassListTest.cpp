// Importing the class list into the window and writing the photo marks back at shut-down.
#include "roster/PhotoMarks.h"
#include "roster/RosterImport.h"
#include "tests/app/MainWindowFixture.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>

namespace {

QString fixture(const char *name)
{
    return QStringLiteral(LUMO_ROSTER_TEST_DATA "/") + QString::fromLatin1(name);
}

class ClassList : public MainWindow
{
protected:
    void SetUp() override
    {
        start();
        ASSERT_TRUE(
            QFile::copy(fixture("class-xlwt.xls"), program.filePath(QStringLiteral("一班.xls"))));
        form->TextOutPath->setText(output.path());
        form->TextBakPath->setText(output.path());
    }

    QTemporaryDir output;
};

} // namespace

TEST_F(ClassList, ImportFillsTheViewAtTheFirstStudent)
{
    form->TextExcelPath->setText(QStringLiteral("一班.xls")); // relative to the program folder
    form->DaoRuExcel_Click();
    EXPECT_EQ(dialogs.messages,
              QStringList{QStringLiteral("本此共导入8名学生，其中有2名无身份证学生")});
    EXPECT_EQ(dialogs.titles, QStringList{QStringLiteral("导入数据")});
    EXPECT_EQ(form->ExcelPath, program.filePath(QStringLiteral("一班.xls")));
    EXPECT_EQ(form->ZongShu, 8);
    EXPECT_EQ(form->WuShenFenShu, 2);
    EXPECT_EQ(form->NowXS, 1);
    EXPECT_EQ(form->Text1[2]->text(), QStringLiteral("张三"));
    EXPECT_EQ(form->Text1[3]->text(), QStringLiteral("李四"));
    EXPECT_EQ(form->TextShenFenZheng->text(), QStringLiteral("110101201001011234"));
    EXPECT_EQ(form->TextBanJi->text(), QStringLiteral("一年级1班"));
    EXPECT_EQ(form->ZongRenShu->text(), QStringLiteral("8"));
    EXPECT_EQ(form->ShengYu->text(), QStringLiteral("8"));
}

TEST_F(ClassList, AFailedImportLeavesTheStudentAndTheViewAlone)
{
    form->TextExcelPath->setText(QStringLiteral("一班.xls"));
    form->DaoRuExcel_Click();
    form->moveToStudent(3);
    dialogs.messages.clear();
    dialogs.titles.clear();

    form->TextExcelPath->setText(QStringLiteral("缺少的文件.xls"));
    form->DaoRuExcel_Click();
    EXPECT_EQ(dialogs.messages, QStringList{kWorkbookRequirementsMessage});
    EXPECT_EQ(dialogs.titles, QStringList{QStringLiteral("EXCEL表格要求")});
    EXPECT_EQ(form->NowXS, 3);
    EXPECT_EQ(form->Text1[2]->text(), QStringLiteral("王五"));
    EXPECT_EQ(form->ZongShu, 8) << "the class in the window is kept";
    EXPECT_EQ(form->ZongRenShu->text(), QStringLiteral("0")) << "the counters were reset first";
}

TEST_F(ClassList, TheFileDialogChoosesOrCancels)
{
    form->CommandDaoRuExcel_Click();
    EXPECT_EQ(dialogs.fileDialogs, 1);
    EXPECT_TRUE(dialogs.messages.isEmpty()) << "a cancelled dialog imports nothing";
    EXPECT_EQ(form->ZongShu, 0);

    dialogs.chosenFile = program.filePath(QStringLiteral("二班.xlsx"));
    ASSERT_TRUE(QFile::copy(fixture("class-openpyxl.xlsx"), dialogs.chosenFile));
    form->CommandDaoRuExcel_Click();
    EXPECT_EQ(form->TextExcelPath->text(), dialogs.chosenFile);
    EXPECT_EQ(form->ZongShu, 8);
}

TEST_F(ClassList, AShorterClassLeavesNothingOfTheLongerOne)
{
    ASSERT_TRUE(QFile::copy(fixture("big-xlwt.xls"), program.filePath(QStringLiteral("big.xls"))));
    form->TextExcelPath->setText(QStringLiteral("big.xls"));
    form->DaoRuExcel_Click();
    ASSERT_GT(form->ZongShu, 100);
    form->TextExcelPath->setText(QStringLiteral("一班.xls"));
    form->DaoRuExcel_Click();
    EXPECT_EQ(form->ZongShu, 8);
    EXPECT_TRUE(form->XueShengXinXi.name(10).isEmpty());
    EXPECT_TRUE(form->XueShengXinXi.idNumber(50).isEmpty());
}

TEST_F(ClassList, ShutDownWritesTheMarksIntoTheWorkbook)
{
    form->TextExcelPath->setText(QStringLiteral("一班.xls"));
    form->DaoRuExcel_Click();
    // Photos of students 1 and 7 exist; the view finds them when it moves past them.
    for (const char *id : {"110101201001011234", "110101201001012222"})
        writeBytes(QDir(output.path()).filePath(QString::fromLatin1(id) + QStringLiteral(".jpg")),
                   "photo");
    form->moveToStudent(2);
    form->moveToStudent(8);
    form->close();

    RosterTable reread;
    ASSERT_TRUE(importRoster(program.filePath(QStringLiteral("一班.xls")), reread).ok);
    EXPECT_EQ(reread.photoMark(1), kPhotoTakenMark);
    EXPECT_EQ(reread.photoMark(2), kPhotoTakenMark) << "marked before";
    EXPECT_EQ(reread.photoMark(7), kPhotoTakenMark);
    EXPECT_TRUE(reread.photoMark(3).isEmpty());
    EXPECT_EQ(reread.photoMark(6), QStringLiteral("否"));
    EXPECT_EQ(reread.name(5), QStringLiteral("赵六"));
}
