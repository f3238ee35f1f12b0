// The current-student view and the review pane, driven through the number box.
#include "app/Form1.h"
#include "roster/StudentView.h"
#include "tests/app/MainWindowFixture.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

QString idOf(int row)
{
    return QStringLiteral("1101012010%1").arg(row, 8, 10, QLatin1Char('0'));
}

class CurrentStudentView : public MainWindow
{
protected:
    void SetUp() override
    {
        start();
        form->TextOutPath->setText(output.path());
        form->TextBakPath->setText(backup.path());
    }

    void fillClass(int students)
    {
        RosterTable &table = form->XueShengXinXi;
        table.setCell(0, RosterTable::kName, QStringLiteral("姓名"));
        table.setCell(0, RosterTable::kIdNumber, QStringLiteral("身份证号"));
        for (int row = 1; row <= students; ++row) {
            table.setCell(row, RosterTable::kName, QStringLiteral("学生%1").arg(row));
            table.setCell(row, RosterTable::kIdNumber, idOf(row));
            table.setCell(row, RosterTable::kClassName, QStringLiteral("三年二班"));
        }
        form->ZongShu = qint16(students);
    }

    void writePhoto(const QTemporaryDir &folder, int row)
    {
        QImage photo(26, 32, QImage::Format_RGB888);
        photo.fill(Qt::gray);
        ASSERT_TRUE(
            photo.save(QDir(folder.path()).filePath(idOf(row) + QStringLiteral(".jpg")), "JPEG"));
    }

    QStringList lines(const QPlainTextEdit *column) const
    {
        return column->toPlainText().split(u'\n');
    }

    QTemporaryDir output, backup;
};

} // namespace

TEST_F(CurrentStudentView, FirstStudentOfTheClass)
{
    fillClass(40);
    form->moveToStudent(1);
    EXPECT_EQ(form->NowXS, 1);
    EXPECT_EQ(form->Text1[2]->text(), QStringLiteral("学生1"));
    EXPECT_EQ(form->Text1[3]->text(), QStringLiteral("学生2"));
    EXPECT_EQ(form->TextShenFenZheng->text(), idOf(1));
    EXPECT_EQ(form->TextBanJi->text(), QStringLiteral("三年二班"));
    EXPECT_EQ(lines(form->TextXuHao).first(), QStringLiteral("3"));
    EXPECT_EQ(lines(form->TextXuHao).at(33), QStringLiteral("36"));
    EXPECT_EQ(lines(form->TextName).at(33), QStringLiteral("学生36"));
    EXPECT_TRUE(form->Text1[1]->text().isEmpty());
    EXPECT_TRUE(form->Text1[0]->text().isEmpty());
    EXPECT_EQ(form->ZongRenShu->text(), QStringLiteral("40"));
    EXPECT_EQ(form->YiZhao->text(), QStringLiteral("0"));
    EXPECT_EQ(form->ShengYu->text(), QStringLiteral("40"));
}

TEST_F(CurrentStudentView, ReviewNumbersAndNames)
{
    fillClass(120);
    form->moveToStudent(12);
    EXPECT_EQ(form->LabelHao01->text(), QStringLiteral("011"));
    EXPECT_EQ(form->LabelHao02->text(), QStringLiteral("010"));
    EXPECT_EQ(form->Text1[1]->text(), QStringLiteral("学生11"));
    EXPECT_EQ(form->Text1[0]->text(), QStringLiteral("学生10"));
    form->moveToStudent(102);
    EXPECT_EQ(form->LabelHao01->text(), QStringLiteral("101"));
    EXPECT_EQ(form->LabelHao02->text(), QStringLiteral("100"));
}

TEST_F(CurrentStudentView, EndOfAClassOfFive)
{
    fillClass(5);
    form->moveToStudent(4);
    EXPECT_EQ(form->Text1[3]->text(), QStringLiteral("学生5"));
    EXPECT_EQ(lines(form->TextName), (QStringList{QString(), QString()})) << "one empty line";
    EXPECT_EQ(lines(form->TextXuHao).first(), QStringLiteral("6"));

    form->moveToStudent(6);
    EXPECT_TRUE(form->Text1[2]->text().isEmpty());
    EXPECT_TRUE(form->Text1[3]->text().isEmpty());
    EXPECT_EQ(form->Text1[1]->text(), QStringLiteral("学生5"));
    EXPECT_EQ(form->Text1[0]->text(), QStringLiteral("学生4"));
}

TEST_F(CurrentStudentView, PhotosAreShownAndMarkedOneRefreshLate)
{
    fillClass(10);
    writePhoto(backup, 5); // only the backup copy is left
    form->moveToStudent(6);
    EXPECT_FALSE(form->ImageSt01->pixmap().isNull());
    EXPECT_EQ(form->XueShengXinXi.photoMark(5), kPhotoTakenMark);
    EXPECT_EQ(form->YiZhao->text(), QStringLiteral("0")) << "counted before the mark was set";

    writePhoto(output, 6);
    form->moveToStudent(7);
    EXPECT_EQ(form->YiZhao->text(), QStringLiteral("1"));
    EXPECT_EQ(form->ShengYu->text(), QStringLiteral("9"));
    EXPECT_FALSE(form->ImageST02->pixmap().isNull()) << "student 5 in the older slot";
    EXPECT_EQ(form->XueShengXinXi.photoMark(6), kPhotoTakenMark);

    form->moveToStudent(9); // student 8 has no photo: nothing is recounted or marked
    EXPECT_TRUE(form->ImageSt01->pixmap().isNull());
    EXPECT_TRUE(form->XueShengXinXi.photoMark(8).isEmpty());
}

TEST_F(CurrentStudentView, AnUnreadablePhotoLeavesANote)
{
    fillClass(5);
    writeBytes(QDir(output.path()).filePath(idOf(2) + QStringLiteral(".jpg")), "not a picture");
    form->moveToStudent(3);
    EXPECT_TRUE(form->ImageSt01->pixmap().isNull());
    EXPECT_EQ(form->ImageSt01->text(), QStringLiteral("照片无法读取"));
    EXPECT_EQ(form->XueShengXinXi.photoMark(2), kPhotoTakenMark) << "the file exists";
}

TEST_F(CurrentStudentView, TypedNumbers)
{
    fillClass(5);
    form->TextNowXS->setText(QStringLiteral("0"));
    EXPECT_EQ(form->Text1[2]->text(), QStringLiteral("姓名"));
    EXPECT_EQ(form->TextShenFenZheng->text(), QStringLiteral("身份证号"));

    form->TextNowXS->setText(QStringLiteral("3"));
    form->TextNowXS->setText(QStringLiteral("3x"));
    EXPECT_EQ(form->NowXS, 3) << "not yet a number";
    form->TextNowXS->setText(QString());
    EXPECT_EQ(form->NowXS, 3);

    form->TextNowXS->setText(QStringLiteral("-2"));
    EXPECT_EQ(form->NowXS, 0);
    form->TextNowXS->setText(QStringLiteral("5000"));
    EXPECT_EQ(form->TextNowXS->text(), QStringLiteral("2998"));
    EXPECT_EQ(form->NowXS, 2998);
    form->TextNowXS->setText(QStringLiteral("99999"));
    EXPECT_EQ(form->NowXS, 2998);
}

TEST_F(CurrentStudentView, WritingTheSameNumberRefreshesAgain)
{
    form->moveToStudent(1);
    fillClass(3); // a new class under the same number, as after a second import
    form->moveToStudent(1);
    EXPECT_EQ(form->Text1[2]->text(), QStringLiteral("学生1"));
}
