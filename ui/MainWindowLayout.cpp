#include "ui/MainWindowLayout.h"

#include "common/Twips.h"
#include "ui/ClickableLabel.h"
#include "ui/PictureView.h"
#include "ui/StorableTextValidator.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

namespace lumo::ui {

namespace {

const QStringList kFeatureList = {
    QStringLiteral("2.0功能介绍:"),
    QStringLiteral("1.一键拍照(CapsLock或"),
    QStringLiteral("RIGHT)"),
    QStringLiteral("2.自动以身份证号码命名"),
    QStringLiteral("3.自动压缩图片大小至60K以下"),
    QStringLiteral("4.DPI低于150自动调整"),
    QStringLiteral("5.一键压缩包zip,超过5M警告"),
    QStringLiteral("6.语音播放下位学生姓名"),
    QStringLiteral("7.浏览己照图片,同步检查"),
};

// The hot keys, shown when the pointer rests on the feature list or the F11 switch.
const QString kHotKeyTable =
    QStringLiteral("热键（在任何程序里都有效；在 Lumo 的文本框里打字时除外）：\n"
                   "W S A D　相框上移、下移、左移、右移\n"
                   "Q E　相框缩小、放大\n"
                   "F　相框中心移到鼠标处\n"
                   "CapsLock 或 →　拍照、保存、下一位\n"
                   "Home　重拍上一位学生\n"
                   "↑　前一位（浏览模式）　↓　跳过　←　再念姓名\n"
                   "F11　关闭 / 打开热键");

// Font sizes are given in points at 96 dots per inch, as the window was designed.
QFont fontOf(const QWidget *widget, double points, bool bold)
{
    QFont font = widget->font();
    font.setPixelSize(qRound(points * 96.0 / 72.0));
    font.setBold(bold);
    return font;
}

void setColours(QWidget *widget, const QColor &text, const QColor &background)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Base, background);
    widget->setPalette(palette);
}

// Places a control by its design position in twips (left, top, width, height).
template <typename Control>
Control *place(Control *control, const char *name, int left, int top, int width, int height)
{
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(common::twipsRectToPixels(left, top, width, height));
    return control;
}

QLineEdit *textBox(QWidget *parent, const QString &text = QString())
{
    auto *box = new QLineEdit(text, parent);
    box->setValidator(new StorableTextValidator(box));
    return box;
}

QLineEdit *shownText(QWidget *parent, const QString &text = QString())
{
    auto *box = new QLineEdit(text, parent);
    box->setReadOnly(true);
    return box;
}

QLabel *label(QWidget *parent, const QString &text)
{
    return new QLabel(text, parent);
}

QPushButton *button(QWidget *parent, const QString &text)
{
    return new QPushButton(text, parent);
}

QCheckBox *check(QWidget *parent, const QString &text)
{
    return new QCheckBox(text, parent);
}

QPlainTextEdit *listColumn(QWidget *parent)
{
    auto *column = new QPlainTextEdit(parent);
    column->setReadOnly(true);
    column->setLineWrapMode(QPlainTextEdit::NoWrap);
    column->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    column->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    column->setFocusPolicy(Qt::NoFocus);
    return column;
}

QGroupBox *group(QWidget *parent, const QString &title)
{
    return new QGroupBox(title, parent);
}

QLabel *reviewPhoto(QWidget *parent)
{
    auto *image = new QLabel(parent);
    image->setScaledContents(true);
    image->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    image->setAlignment(Qt::AlignCenter);
    image->setWordWrap(true);
    return image;
}

QLabel *verdictLabel(QWidget *parent)
{
    auto *verdict = new QLabel(parent);
    verdict->setAlignment(Qt::AlignCenter);
    verdict->setWordWrap(true);
    verdict->setAutoFillBackground(true);
    verdict->hide();
    return verdict;
}

} // namespace

MainWindowControls createMainWindowControls(QWidget *w)
{
    MainWindowControls c{};

    // The roster list along the left edge.
    c.nextName = place(shownText(w), "Text1(3)", 0, 0, 1635, 510);
    c.listNumbers = place(listColumn(w), "TextXuHao", 0, 510, 480, 6585);
    c.listNames = place(listColumn(w), "TextName", 480, 510, 720, 6585);
    c.listMarks = place(listColumn(w), "TextYouWuZhaoPian", 1200, 510, 435, 6585);

    // The current student.
    c.currentName = place(shownText(w), "Text1(2)", 1650, 0, 3855, 1215);
    c.idNumber = place(shownText(w), "TextShenFenZheng", 1650, 1200, 3855, 420);

    // The review pane: the newer photo on the left, the older one on the right.
    QGroupBox *review =
        place(group(w, QStringLiteral("核对照片栏")), "FrameChecK", 1650, 1650, 3855, 3075);
    c.reviewGroup = review;
    c.newerPhoto = place(reviewPhoto(review), "ImageSt01", 120, 270, 1785, 2205);
    c.newerNumber = place(label(review, QString()), "LabelHao01", 120, 2580, 600, 330);
    c.newerName = place(shownText(review), "Text1(1)", 720, 2535, 1185, 420);
    c.olderPhoto = place(reviewPhoto(review), "ImageST02", 1950, 270, 1785, 2205);
    c.olderNumber = place(label(review, QString()), "LabelHao02", 1950, 2580, 600, 330);
    c.olderName = place(shownText(review), "Text1(0)", 2550, 2535, 1185, 420);
    c.newerVerdict = place(verdictLabel(review), "LabelVerdict01", 135, 1995, 1755, 465);
    c.olderVerdict = place(verdictLabel(review), "LabelVerdict02", 1965, 1995, 1755, 465);

    // The command buttons.
    QGroupBox *buttons = place(group(w, QString()), "FrameAnNiu", 1650, 4650, 3840, 1515);
    c.previous = place(button(buttons, QStringLiteral("前一位")), "CommandOut", 60, 150, 780, 495);
    c.studentNumber = place(textBox(buttons), "TextNowXS", 870, 210, 660, 375);
    c.next = place(button(buttons, QStringLiteral("下一位")), "CommandIn", 1560, 150, 1140, 495);
    c.skip = place(button(buttons, QStringLiteral("跳过")), "CommandNextOne", 2730, 150, 1050, 495);
    c.oneKeyCapture =
        place(check(buttons, QStringLiteral("一键拍照")), "CheckAutoPai", 60, 720, 1080, 315);
    c.oneKeySave =
        place(check(buttons, QStringLiteral("一键保存")), "CheckAutoSave", 1170, 720, 1080, 315);
    c.capture = place(button(buttons, QStringLiteral("拍照")), "WzPai", 2280, 690, 720, 375);
    c.save = place(button(buttons, QStringLiteral("保存")), "WZsaVe", 3030, 690, 750, 375);
    c.importClass =
        place(button(buttons, QStringLiteral("导入信息")), "DaoRuExcel", 60, 1080, 900, 375);
    c.packClass =
        place(button(buttons, QStringLiteral("压缩ZIP")), "CommandToZip", 990, 1080, 900, 375);
    c.classReport =
        place(button(buttons, QStringLiteral("班级报告")), "CommandReport", 1920, 1080, 900, 375);
    c.settingsLink = place(new ClickableLabel(QStringLiteral("系统设置"), buttons),
                           "LabelSystemSit", 2880, 1140, 900, 255);

    // Input and output.
    QGroupBox *files =
        place(group(w, QStringLiteral("输入输出设置")), "FrameFile", 1650, 6210, 3840, 885);
    place(label(files, QStringLiteral("EXCEL文件:")), "Label7", 60, 255, 1020, 255);
    c.workbookPath = place(textBox(files), "TextExcelPath", 1080, 225, 2040, 285);
    c.chooseWorkbook =
        place(button(files, QStringLiteral("打开")), "CommandDaoRuExcel", 3150, 210, 630, 315);
    place(label(files, QStringLiteral("照片目录:")), "Label13", 60, 570, 1020, 255);
    c.outputFolder = place(textBox(files), "TextOutPath", 1080, 540, 2040, 285);
    c.openOutputFolder =
        place(button(files, QStringLiteral("打开")), "CommandOpenDir", 3150, 525, 630, 315);

    // The class and its counters along the bottom.
    QGroupBox *counters = place(group(w, QString()), "FrameXinXi", 0, 7020, 5505, 690);
    place(label(counters, QStringLiteral("班级:")), "Label12", 60, 270, 600, 255);
    c.className = place(textBox(counters), "TextBanJi", 660, 225, 1800, 330);
    place(label(counters, QStringLiteral("总数       已照       剩余")), "Label14", 2580, 120, 2800,
          255);
    c.total = place(label(counters, QString()), "ZongRenShu", 2580, 390, 600, 255);
    c.photographed = place(label(counters, QString()), "YiZhao", 3360, 390, 600, 255);
    c.remaining = place(label(counters, QString()), "ShengYu", 4140, 390, 600, 255);
    c.missing = place(shownText(w), "TextMissing", 0, 7740, 5505, 330);
    c.missing->setPlaceholderText(QStringLiteral("未拍：无"));
    // Over the list while a report is written.
    c.progress = place(new QProgressBar(w), "ProgressReport", 0, 7740, 5505, 330);
    c.progress->hide();

    // The captured photo and the feature list on the right.
    c.photo = place(new PictureView(w), "Picture1", 5520, 0, 2895, 2955);
    c.photo->setAutoSize(true);
    c.help = place(button(w, QStringLiteral("操作说明")), "CommandHelp", 5520, 4980, 1215, 375);
    c.featureLink = place(new ClickableLabel(QStringLiteral("功能介绍"), w), "LabelJieSHao", 5490,
                          5430, 1215, 255);
    c.featureList = place(new QPlainTextEdit(kFeatureList.join(u'\n'), w), "TextGongNeng", 5520,
                          5700, 2775, 2535);
    c.featureList->setReadOnly(true);
    c.featureList->setToolTip(kHotKeyTable);

    // The settings group lies over the middle column while it is shown.
    QGroupBox *settings =
        place(group(w, QStringLiteral("系统设置")), "FrameSysSetting", 1620, 60, 3915, 6780);
    c.settingsGroup = settings;
    c.closeSettings =
        place(button(settings, QStringLiteral("关闭")), "CommandCloseSettings", 3000, 0, 795, 300);
    c.adjustDpi =
        place(check(settings, QStringLiteral("自动调整DPI")), "CheckDpi", 120, 270, 1800, 315);
    c.compress = place(check(settings, QStringLiteral("自动压缩图片")), "CheckAutoYaSuo", 1980, 270,
                       1800, 315);
    c.hotKeysOff = place(check(settings, QStringLiteral("F11关闭热键(A,S,D,W,Q,E 空格)")),
                         "CheckHotKey", 120, 600, 3700, 315);
    c.hotKeysOff->setToolTip(kHotKeyTable);
    c.backup =
        place(check(settings, QStringLiteral("照片自动备份")), "CheckAutoBak", 120, 930, 1500, 315);
    c.backupFolder = place(textBox(settings), "TextBakPath", 1650, 915, 2160, 315);
    c.voiceOff =
        place(check(settings, QStringLiteral("关闭语音")), "CheckInNotYuYIn", 120, 1260, 1500, 315);

    QGroupBox *frame =
        place(group(settings, QStringLiteral("设置")), "Frame1", 120, 1620, 3675, 1650);
    place(label(frame, QStringLiteral("外框宽:")), "Label1", 120, 300, 720, 255);
    // The outer width box belongs to the settings group but sits on the row of its label.
    c.outerBorderWidth = place(textBox(settings), "TextXianKuan01", 960, 1890, 600, 285);
    place(label(frame, QStringLiteral("内框宽:")), "Label2", 1860, 300, 720, 255);
    c.innerBorderWidth = place(textBox(frame), "TextXianKuan02", 2580, 270, 600, 285);
    place(label(frame, QStringLiteral("照片宽：")), "Label3", 120, 660, 720, 255);
    c.photoWidth = place(textBox(frame), "ZhaoPKuan", 840, 630, 600, 285);
    place(label(frame, QStringLiteral("照片高：")), "Label4", 1860, 660, 720, 255);
    c.photoHeight = place(textBox(frame), "ZhaoPGao", 2580, 630, 600, 285);
    c.photoHeight->setEnabled(false);
    place(label(frame, QStringLiteral("移动单位：")), "Label5", 120, 1020, 900, 255);
    c.moveStep = place(textBox(frame), "YDStep", 1020, 990, 420, 285);
    place(label(frame, QStringLiteral("(按键A,S,D,W)")), "Label10", 1470, 1020, 1500, 255);
    place(label(frame, QStringLiteral("缩放单位：")), "Label9", 120, 1350, 900, 255);
    c.zoomStep = place(textBox(frame), "SuoFangStep", 1020, 1320, 420, 285);
    c.zoomStep->setEnabled(false);
    place(label(frame, QStringLiteral("(按键Q,E)")), "Label11", 1470, 1350, 1050, 255);
    c.sizeLocked = place(check(frame, QStringLiteral("锁定尺寸")), "Check1", 2580, 1320, 1050, 315);

    c.promptGroup =
        place(group(settings, QStringLiteral("语音自定义")), "FrameYuYin", 120, 3360, 3675, 1140);
    c.prompts[0] = place(textBox(c.promptGroup), "TextSay1", 120, 300, 600, 315);
    c.prompts[1] = place(textBox(c.promptGroup), "TextSay2", 780, 300, 2775, 315);
    c.prompts[2] = place(textBox(c.promptGroup), "TextSay3", 780, 690, 2775, 315);
    QGroupBox *source = place(group(settings, QStringLiteral("照片来源")), "FramePhotoSource", 120,
                              4560, 3675, 1380);
    c.photoSource = place(new QComboBox(source), "ComboPhotoSource", 120, 270, 1500, 330);
    c.photoSource->addItems(
        {QStringLiteral("屏幕取景"), QStringLiteral("内置摄像头"), QStringLiteral("文件夹监视")});
    c.camera = place(new QComboBox(source), "ComboCamera", 1680, 270, 1875, 330);
    c.watchedFolder = place(textBox(source), "TextWatchedFolder", 120, 630, 2800, 315);
    c.chooseWatchedFolder =
        place(button(source, QStringLiteral("选择")), "CommandWatchedFolder", 2980, 615, 575, 345);
    c.checkPhotos =
        place(check(source, QStringLiteral("拍照检查")), "CheckPhotoCheck", 120, 990, 1500, 315);
    c.bestQuality =
        place(check(source, QStringLiteral("最佳画质")), "CheckBestQuality", 1680, 990, 1500, 315);
    QGroupBox *withoutId = place(group(settings, QStringLiteral("无身份证学生")), "FrameWithoutId",
                                 120, 6000, 3675, 660);
    place(label(withoutId, QStringLiteral("学校标识码:")), "LabelSchoolCode", 120, 300, 1020, 255);
    c.schoolCode = place(textBox(withoutId), "TextSchoolCode", 1140, 270, 1260, 285);
    c.schoolCode->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,10}")), w));
    c.schoolCode->setToolTip(QStringLiteral("学籍系统里学校的10位标识码"));
    place(label(withoutId, QStringLiteral("班号:")), "LabelClassNumber", 2460, 300, 480, 255);
    c.classNumber = place(textBox(withoutId), "TextClassNumber", 2940, 270, 615, 285);
    c.classNumber->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9A-Za-z]{0,10}")), w));
    withoutId->setToolTip(QStringLiteral("两项都填写后，没有身份证号码的学生也能拍照，照片保存为"
                                         "“学校标识码_班号_姓名.jpg”，放在照片目录的"
                                         "“无身份证学生”文件夹里。"));

    // Opaque: it lies over the current student and the review pane while it is shown.
    settings->setAutoFillBackground(true);
    settings->hide();

    // Looks of the current-student view.
    c.currentName->setFont(fontOf(c.currentName, 60, true));
    setColours(c.currentName, QColor(255, 0, 0), QColor(128, 128, 0));
    c.idNumber->setFont(fontOf(c.idNumber, 15.75, true));
    setColours(c.idNumber, QColor(0, 255, 0), QColor(0, 0, 0));
    c.nextName->setFont(fontOf(c.nextName, 18, true));
    setColours(c.nextName, QColor(0, 0, 0), QColor(255, 255, 255));
    for (QPlainTextEdit *column : {c.listNumbers, c.listNames, c.listMarks})
        column->setFont(fontOf(column, 10.5, column == c.listNumbers));
    for (QLabel *number : {c.newerNumber, c.olderNumber})
        number->setFont(fontOf(number, 12, true));
    for (QLineEdit *name : {c.newerName, c.olderName})
        name->setFont(fontOf(name, 14.25, true));
    for (QLineEdit *large : {c.currentName, c.idNumber})
        large->setTextMargins(0, 0, 0, 0);
    return c;
}

} // namespace lumo::ui
