#include "app/Form1.h"

#include "app/ClickableLabel.h"
#include "app/PictureBox.h"
#include "app/StorableTextValidator.h"
#include "frame/FrameMoves.h"
#include "frame/Twips.h"
#include "frame/XiangKuang.h"
#include "packaging/ClassArchive.h"
#include "photo/PhotoError.h"
#include "photo/PhotoSaver.h"
#include "platform/Dialogs.h"
#include "platform/KeyPoller.h"
#include "platform/ScreenGrabber.h"
#include "platform/Shell.h"
#include "platform/ShutterSound.h"
#include "platform/Speech.h"
#include "roster/RosterImport.h"
#include "roster/RosterWriteBack.h"
#include "roster/StudentView.h"
#include "settings/MakeDirPath.h"
#include "settings/NumberText.h"
#include "settings/SettingsLocation.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QCursor>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <exception>

namespace {

const QString kTitle = QStringLiteral("Lumo");
const QString kCaptureFailed = QStringLiteral("拍照失败：屏幕图像无法复制。");
const QString kVersion = QStringLiteral("v2.0");

// Distance from the main window's left edge to its right edge beyond the photo frame.
constexpr int kWindowWidthBesideFrame = 5475;
constexpr int kWindowHeight = 8100;

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
    control->setGeometry(twips::rectToPixels(left, top, width, height));
    return control;
}

int checkValue(const QCheckBox *box)
{
    switch (box->checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    case Qt::Unchecked:
        break;
    }
    return 0;
}

// Marks a command as running for as long as it lasts, so that no key starts another meanwhile.
class CommandScope
{
public:
    explicit CommandScope(bool &running) : m_running(running), m_outer(running) { running = true; }
    ~CommandScope() { m_running = m_outer; }
    bool nested() const { return m_outer; }

    CommandScope(const CommandScope &) = delete;
    CommandScope &operator=(const CommandScope &) = delete;

private:
    bool &m_running;
    bool m_outer;
};

packaging::PackResult packWithBusyCursor(const QString &folder, const QString &name)
{
    struct BusyCursor
    {
        BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
        ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    } busy;
    return packaging::packClassArchive(folder, name);
}

void setCheckValue(QCheckBox *box, int value)
{
    box->setCheckState(value == 1   ? Qt::Checked
                       : value == 2 ? Qt::PartiallyChecked
                                    : Qt::Unchecked);
}

} // namespace

Form1::Form1(const ProgramEnvironment &environment, QWidget *parent)
    : QWidget(parent), m_environment(environment),
      m_photoSaver(std::make_unique<photo::PhotoSaver>(m_environment.dialogs))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kTitle + kVersion);
    createControls();
    connectReactions();
}

Form1::~Form1()
{
    Form_Unload();
}

void Form1::createControls()
{
    auto lineEdit = [](QWidget *parent, const QString &text = QString()) {
        auto *box = new QLineEdit(text, parent);
        box->setValidator(new StorableTextValidator(box));
        return box;
    };
    auto label = [](QWidget *parent, const QString &text) { return new QLabel(text, parent); };
    auto button = [](QWidget *parent, const QString &text) {
        return new QPushButton(text, parent);
    };
    auto check = [](QWidget *parent, const QString &text, bool on) {
        auto *box = new QCheckBox(text, parent);
        box->setChecked(on);
        return box;
    };
    auto listColumn = [](QWidget *parent) {
        auto *column = new QPlainTextEdit(parent);
        column->setReadOnly(true);
        column->setLineWrapMode(QPlainTextEdit::NoWrap);
        column->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        column->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        column->setFocusPolicy(Qt::NoFocus);
        return column;
    };
    auto group = [](QWidget *parent, const QString &title) { return new QGroupBox(title, parent); };

    // The roster list along the left edge.
    Text1[3] = place(lineEdit(this), "Text1(3)", 0, 0, 1635, 510);
    TextXuHao = place(listColumn(this), "TextXuHao", 0, 510, 480, 6585);
    TextName = place(listColumn(this), "TextName", 480, 510, 720, 6585);
    TextYouWuZhaoPian = place(listColumn(this), "TextYouWuZhaoPian", 1200, 510, 435, 6585);

    // The current student.
    Text1[2] = place(lineEdit(this), "Text1(2)", 1650, 0, 3855, 1215);
    TextShenFenZheng = place(lineEdit(this, QStringLiteral("身份证号码")), "TextShenFenZheng", 1650,
                             1200, 3855, 420);

    // The review pane: the newer photo on the left, the older one on the right.
    FrameChecK =
        place(group(this, QStringLiteral("核对照片栏")), "FrameChecK", 1650, 1650, 3855, 3075);
    ImageSt01 = place(new QLabel(FrameChecK), "ImageSt01", 120, 270, 1785, 2205);
    LabelHao01 =
        place(label(FrameChecK, QStringLiteral("0000")), "LabelHao01", 120, 2580, 600, 330);
    Text1[1] = place(lineEdit(FrameChecK), "Text1(1)", 720, 2535, 1185, 420);
    ImageST02 = place(new QLabel(FrameChecK), "ImageST02", 1950, 270, 1785, 2205);
    LabelHao02 =
        place(label(FrameChecK, QStringLiteral("0000")), "LabelHao02", 1950, 2580, 600, 330);
    Text1[0] = place(lineEdit(FrameChecK), "Text1(0)", 2550, 2535, 1185, 420);
    for (QLabel *image : {ImageSt01, ImageST02}) {
        image->setScaledContents(true);
        image->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        image->setAlignment(Qt::AlignCenter);
        image->setWordWrap(true);
    }

    // The command buttons.
    FrameAnNiu = place(group(this, QString()), "FrameAnNiu", 1650, 4650, 3840, 1515);
    CommandOut =
        place(button(FrameAnNiu, QStringLiteral("前一位")), "CommandOut", 60, 150, 780, 495);
    TextNowXS = place(lineEdit(FrameAnNiu, QStringLiteral("000")), "TextNowXS", 870, 210, 660, 375);
    CommandIn =
        place(button(FrameAnNiu, QStringLiteral("下一位")), "CommandIn", 1560, 150, 1140, 495);
    CommandNextOne =
        place(button(FrameAnNiu, QStringLiteral("跳过")), "CommandNextOne", 2730, 150, 1050, 495);
    CheckAutoPai = place(check(FrameAnNiu, QStringLiteral("一键拍照"), true), "CheckAutoPai", 60,
                         720, 1080, 315);
    CheckAutoSave = place(check(FrameAnNiu, QStringLiteral("一键保存"), true), "CheckAutoSave",
                          1170, 720, 1080, 315);
    WzPai = place(button(FrameAnNiu, QStringLiteral("拍照")), "WzPai", 2280, 690, 720, 375);
    WZsaVe = place(button(FrameAnNiu, QStringLiteral("保存")), "WZsaVe", 3030, 690, 750, 375);
    DaoRuExcel =
        place(button(FrameAnNiu, QStringLiteral("导入信息")), "DaoRuExcel", 60, 1080, 1140, 375);
    CommandToZip =
        place(button(FrameAnNiu, QStringLiteral("压缩ZIP")), "CommandToZip", 1260, 1080, 1140, 375);
    LabelSystemSit = place(new ClickableLabel(QStringLiteral("系统设置"), FrameAnNiu),
                           "LabelSystemSit", 2640, 1140, 1080, 255);
    WzPai->hide();
    WZsaVe->hide();
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(100);

    // Input and output.
    FrameFile =
        place(group(this, QStringLiteral("输入输出设置")), "FrameFile", 1650, 6210, 3840, 885);
    Label7 = place(label(FrameFile, QStringLiteral("EXCEL文件:")), "Label7", 60, 255, 1020, 255);
    TextExcelPath = place(lineEdit(FrameFile, QStringLiteral("模板.xls")), "TextExcelPath", 1080,
                          225, 2040, 285);
    CommandDaoRuExcel =
        place(button(FrameFile, QStringLiteral("打开")), "CommandDaoRuExcel", 3150, 210, 630, 315);
    Label13 = place(label(FrameFile, QStringLiteral("照片目录:")), "Label13", 60, 570, 1020, 255);
    TextOutPath =
        place(lineEdit(FrameFile, QDir::toNativeSeparators(QStringLiteral("D:/zhaopian/"))),
              "TextOutPath", 1080, 540, 2040, 285);
    CommandOpenDir =
        place(button(FrameFile, QStringLiteral("打开")), "CommandOpenDir", 3150, 525, 630, 315);

    // The class and its counters along the bottom.
    FrameXinXi = place(group(this, QString()), "FrameXinXi", 0, 7020, 5505, 690);
    Label12 = place(label(FrameXinXi, QStringLiteral("班级:")), "Label12", 60, 270, 600, 255);
    TextBanJi = place(lineEdit(FrameXinXi), "TextBanJi", 660, 225, 1800, 330);
    Label14 = place(label(FrameXinXi, QStringLiteral("总数       已照       剩余")), "Label14",
                    2580, 120, 2800, 255);
    ZongRenShu = place(label(FrameXinXi, QStringLiteral("0")), "ZongRenShu", 2580, 390, 600, 255);
    YiZhao = place(label(FrameXinXi, QStringLiteral("0")), "YiZhao", 3360, 390, 600, 255);
    ShengYu = place(label(FrameXinXi, QStringLiteral("0")), "ShengYu", 4140, 390, 600, 255);

    // The captured photo and the feature list on the right.
    Picture1 = place(new PictureBox(this), "Picture1", 5520, 0, 2895, 2955);
    Picture1->setAutoSize(true);
    CommandHelp =
        place(button(this, QStringLiteral("操作说明")), "CommandHelp", 5520, 4980, 1215, 375);
    LabelJieSHao = place(new ClickableLabel(QStringLiteral("功能介绍"), this), "LabelJieSHao", 5490,
                         5430, 1215, 255);
    TextGongNeng = place(new QPlainTextEdit(kFeatureList.join(u'\n'), this), "TextGongNeng", 5520,
                         5700, 2775, 2535);
    TextGongNeng->setReadOnly(true);

    // Scratch pictures of the output steps, below the visible area.
    PictureMiaodian = place(new PictureBox(this), "PictureMiaodian", 0, 8400, 3900, 4800);
    PictureStmp = place(new PictureBox(this), "PictureStmp", 3900, 8400, 2895, 2955);
    Picture2 = place(new PictureBox(this), "Picture2", 6795, 8400, 2895, 2955);
    for (PictureBox *scratch : {PictureMiaodian, PictureStmp, Picture2}) {
        scratch->setFocusPolicy(Qt::NoFocus);
        scratch->hide();
    }

    // The settings group lies over the middle column while it is shown.
    FrameSysSetting =
        place(group(this, QStringLiteral("系统设置")), "FrameSysSetting", 1620, 60, 3915, 4620);
    CheckDpi = place(check(FrameSysSetting, QStringLiteral("自动调整DPI"), true), "CheckDpi", 120,
                     270, 1800, 315);
    CheckAutoYaSuo = place(check(FrameSysSetting, QStringLiteral("自动压缩图片"), true),
                           "CheckAutoYaSuo", 1980, 270, 1800, 315);
    CheckHotKey =
        place(check(FrameSysSetting, QStringLiteral("F11关闭热键(A,S,D,W,Q,E 空格)"), false),
              "CheckHotKey", 120, 600, 3700, 315);
    CheckAutoBak = place(check(FrameSysSetting, QStringLiteral("照片自动备份"), true),
                         "CheckAutoBak", 120, 930, 1500, 315);
    TextBakPath = place(
        lineEdit(FrameSysSetting, QDir::toNativeSeparators(QStringLiteral("d:/学籍照片备份"))),
        "TextBakPath", 1650, 915, 2160, 315);
    CheckInNotYuYIn = place(check(FrameSysSetting, QStringLiteral("关闭语音"), false),
                            "CheckInNotYuYIn", 120, 1260, 1500, 315);

    Frame1 = place(group(FrameSysSetting, QStringLiteral("设置")), "Frame1", 120, 1620, 3675, 1650);
    Label1 = place(label(Frame1, QStringLiteral("外框宽:")), "Label1", 120, 300, 720, 255);
    // The outer width box belongs to the settings group but sits on the row of its label.
    TextXianKuan01 = place(lineEdit(FrameSysSetting, QStringLiteral("2")), "TextXianKuan01", 960,
                           1890, 600, 285);
    Label2 = place(label(Frame1, QStringLiteral("内框宽:")), "Label2", 1860, 300, 720, 255);
    TextXianKuan02 =
        place(lineEdit(Frame1, QStringLiteral("2")), "TextXianKuan02", 2580, 270, 600, 285);
    Label3 = place(label(Frame1, QStringLiteral("照片宽：")), "Label3", 120, 660, 720, 255);
    ZhaoPKuan = place(lineEdit(Frame1, QStringLiteral("300")), "ZhaoPKuan", 840, 630, 600, 285);
    Label4 = place(label(Frame1, QStringLiteral("照片高：")), "Label4", 1860, 660, 720, 255);
    ZhaoPGao = place(lineEdit(Frame1, QStringLiteral("400")), "ZhaoPGao", 2580, 630, 600, 285);
    ZhaoPGao->setEnabled(false);
    Label5 = place(label(Frame1, QStringLiteral("移动单位：")), "Label5", 120, 1020, 900, 255);
    YDStep = place(lineEdit(Frame1, QStringLiteral("2")), "YDStep", 1020, 990, 420, 285);
    Label10 =
        place(label(Frame1, QStringLiteral("(按键A,S,D,W)")), "Label10", 1470, 1020, 1500, 255);
    Label9 = place(label(Frame1, QStringLiteral("缩放单位：")), "Label9", 120, 1350, 900, 255);
    SuoFangStep =
        place(lineEdit(Frame1, QStringLiteral("10")), "SuoFangStep", 1020, 1320, 420, 285);
    SuoFangStep->setEnabled(false);
    Label11 = place(label(Frame1, QStringLiteral("(按键Q,E)")), "Label11", 1470, 1350, 1050, 255);
    Check1 =
        place(check(Frame1, QStringLiteral("锁定尺寸"), false), "Check1", 2580, 1320, 1050, 315);
    LabelQjKK = place(label(Frame1, QStringLiteral("4780")), "LabelQjKK", 3300, 660, 300, 255);
    LabelQjKG = place(label(Frame1, QStringLiteral("6660")), "LabelQjKG", 3300, 1020, 300, 255);
    LabelQjKK->hide();
    LabelQjKG->hide();

    FrameYuYin = place(group(FrameSysSetting, QStringLiteral("语音自定义")), "FrameYuYin", 120,
                       3360, 3675, 1140);
    TextSay1 = place(lineEdit(FrameYuYin, QStringLiteral("请")), "TextSay1", 120, 300, 600, 315);
    TextSay2 = place(lineEdit(FrameYuYin, QStringLiteral("同学，前来照相。")), "TextSay2", 780, 300,
                     2775, 315);
    TextSay3 =
        place(lineEdit(FrameYuYin, QStringLiteral("同学准备")), "TextSay3", 780, 690, 2775, 315);
    FrameSysSetting->hide();

    // Looks of the current-student view.
    Text1[2]->setFont(fontOf(Text1[2], 60, true));
    setColours(Text1[2], QColor(255, 0, 0), QColor(128, 128, 0));
    TextShenFenZheng->setFont(fontOf(TextShenFenZheng, 15.75, true));
    setColours(TextShenFenZheng, QColor(0, 255, 0), QColor(0, 0, 0));
    Text1[3]->setFont(fontOf(Text1[3], 18, true));
    setColours(Text1[3], QColor(0, 0, 0), QColor(255, 255, 255));
    for (QPlainTextEdit *column : {TextXuHao, TextName, TextYouWuZhaoPian})
        column->setFont(fontOf(column, 10.5, column == TextXuHao));
    for (QLabel *number : {LabelHao01, LabelHao02})
        number->setFont(fontOf(number, 12, true));
    for (QLineEdit *name : {Text1[0], Text1[1]})
        name->setFont(fontOf(name, 14.25, true));
    for (QLineEdit *large : {Text1[2], TextShenFenZheng})
        large->setTextMargins(0, 0, 0, 0);
}

void Form1::connectReactions()
{
    connect(CheckInNotYuYIn, &QCheckBox::stateChanged, this, &Form1::CheckInNotYuYIn_Click);
    connect(CheckAutoBak, &QCheckBox::stateChanged, this, &Form1::CheckAutoBak_Click);
    connect(CheckAutoPai, &QCheckBox::stateChanged, this, &Form1::CheckAutoPai_Click);
    connect(CheckAutoSave, &QCheckBox::stateChanged, this, &Form1::CheckAutoSave_Click);
    connect(Check1, &QCheckBox::stateChanged, this, &Form1::Check1_Click);
    connect(LabelSystemSit, &ClickableLabel::clicked, this, &Form1::LabelSystemSit_Click);
    connect(LabelJieSHao, &ClickableLabel::clicked, this, &Form1::LabelJieSHao_Click);
    connect(CommandHelp, &QPushButton::clicked, this, &Form1::CommandHelp_Click);
    connect(DaoRuExcel, &QPushButton::clicked, this, &Form1::DaoRuExcel_Click);
    connect(CommandDaoRuExcel, &QPushButton::clicked, this, &Form1::CommandDaoRuExcel_Click);
    connect(CommandOpenDir, &QPushButton::clicked, this, &Form1::CommandOpenDir_Click);
    connect(CommandToZip, &QPushButton::clicked, this, &Form1::CommandToZip_Click);
    connect(WZsaVe, &QPushButton::clicked, this, &Form1::WZsaVe_Click);
    connect(WzPai, &QPushButton::clicked, this, &Form1::WzPai_Click);
    connect(CommandIn, &QPushButton::clicked, this, &Form1::CommandIn_Click);
    connect(CommandOut, &QPushButton::clicked, this, &Form1::CommandOut_Click);
    connect(CommandNextOne, &QPushButton::clicked, this, &Form1::CommandNextOne_Click);
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);

    connect(TextNowXS, &QLineEdit::textChanged, this, &Form1::TextNowXS_Change);
    connect(ZhaoPKuan, &QLineEdit::textChanged, this, &Form1::ZhaoPKuan_Change);
    connect(TextXianKuan01, &QLineEdit::textChanged, this, &Form1::TextXianKuan01_Change);
    connect(TextXianKuan02, &QLineEdit::textChanged, this, &Form1::TextXianKuan02_Change);
    connect(YDStep, &QLineEdit::textChanged, this, &Form1::YDStep_Change);
    connect(SuoFangStep, &QLineEdit::textChanged, this, &Form1::SuoFangStep_Change);

    // A check box set to its third state by the settings goes back to two states once clicked.
    for (QCheckBox *box : findChildren<QCheckBox *>()) {
        connect(box, &QCheckBox::stateChanged, box, [box](int state) {
            if (state != Qt::PartiallyChecked)
                box->setTristate(false);
        });
    }
}

// ---------------------------------------------------------------------------------------------
// Start-up and shut-down

void Form1::Form_Load()
{
    m_xiangKuang = std::make_unique<XiangKuang>(
        programWide, [this] { return TextXianKuan01->text(); },
        [this] { return TextXianKuan02->text(); });
    m_xiangKuang->Form_Load();
    m_xiangKuang->Show();

    LoadSettings();

    programWide.QjZhaoPKuan =
        numbers::integerPartToInt16(numbers::leadingNumber(ZhaoPKuan->text())).value;
    const numbers::Int16Conversion height = numbers::toInt16(ZhaoPGao->text());
    programWide.QjZhaoPGao =
        height.ok() ? height.value : frame::heightForWidth(programWide.QjZhaoPKuan);
    // The frame takes the loaded photo size even when loading changed no text.
    setFrameSize({programWide.QjZhaoPKuan, programWide.QjZhaoPGao});

    applyStartupGeometry();
    YiZhaoShu = 0;
    Timer1->start();
}

void Form1::applyStartupGeometry()
{
    setTop(0);
    m_xiangKuang->setTop(0);
    m_xiangKuang->setLeft(0);
    setLeft(m_xiangKuang->Width());
    setWidth(m_xiangKuang->Width() + kWindowWidthBesideFrame);
    setHeight(kWindowHeight);
}

void Form1::Form_Unload()
{
    if (m_unloaded || !m_xiangKuang)
        return;
    m_unloaded = true;
    Timer1->stop();
    LabelQjKG->setText(QString::number(programWide.QjKG));
    LabelQjKK->setText(QString::number(programWide.QjKK));
    SaveSettings();
    SaveToExcel();
    // The frame object lives on with the window: a command that a logout interrupted may still
    // be finishing with it.
    m_xiangKuang->close();
}

void Form1::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}

int Form1::Left() const
{
    return twips::fromPixels(x());
}

int Form1::Top() const
{
    return twips::fromPixels(y());
}

int Form1::Width() const
{
    return twips::fromPixels(width());
}

int Form1::Height() const
{
    return twips::fromPixels(height());
}

void Form1::setLeft(int value)
{
    move(twips::toPixels(value), y());
}

void Form1::setTop(int value)
{
    move(x(), twips::toPixels(value));
}

void Form1::setWidth(int value)
{
    resize(qMax(1, twips::toPixels(value)), height());
}

void Form1::setHeight(int value)
{
    resize(width(), qMax(1, twips::toPixels(value)));
}

// ---------------------------------------------------------------------------------------------
// Settings file

void Form1::LoadSettings()
{
    const QString folder =
        settings::chooseSettingsFolder(m_environment.programFolder, m_environment.userConfigFolder);
    m_settingsFilePath = QDir(folder).filePath(QString::fromLatin1(settings::kFileName));

    if (!QFileInfo::exists(m_settingsFilePath)) {
        ResetSettings();
        SaveSettings();
    } else {
        const std::optional<settings::SettingValues> values =
            settings::readFile(m_settingsFilePath);
        if (!values) {
            ResetSettings();
            SaveSettings();
            return;
        }
        for (const settings::SettingLine &line : settings::kSettingLines)
            storeSetting(line, (*values)[line.number]);
    }
    if (!QFileInfo(TextBakPath->text()).isDir())
        MakeDirPath(TextBakPath->text());
}

void Form1::ResetSettings()
{
    const settings::SettingValues defaults = settings::defaultValues(m_environment.homeFolder);
    for (const settings::SettingLine &line : settings::kSettingLines)
        storeSetting(line, defaults[line.number]);
    NowXS = 0;
}

void Form1::SaveSettings()
{
    settings::SettingValues values;
    for (const settings::SettingLine &line : settings::kSettingLines)
        values[line.number] = settingValue(line);
    if (settings::writeFile(m_settingsFilePath, values))
        return;

    // The program folder may have become unwritable since start-up: keep the settings in the
    // user's configuration folder rather than lose them.
    const QString userFolder =
        QDir(m_environment.userConfigFolder).filePath(QStringLiteral("config"));
    const QString userPath = QDir(userFolder).filePath(QString::fromLatin1(settings::kFileName));
    if (userPath != m_settingsFilePath && MakeDirPath(userFolder) &&
        settings::writeFile(userPath, values)) {
        m_settingsFilePath = userPath;
        return;
    }
    m_environment.dialogs.message(
        QStringLiteral("设置无法保存到文件 %1，请检查磁盘空间和文件夹权限。")
            .arg(QDir::toNativeSeparators(m_settingsFilePath)));
}

void Form1::storeSetting(const settings::SettingLine &line, const QString &value)
{
    const QString control = QString::fromLatin1(line.control);
    switch (line.kind) {
    case settings::LineKind::Text:
        findChild<QLineEdit *>(control)->setText(value);
        break;
    case settings::LineKind::Caption:
        findChild<QLabel *>(control)->setText(value);
        break;
    case settings::LineKind::Switch:
        setCheckValue(findChild<QCheckBox *>(control), numbers::toInt16(value).value);
        break;
    case settings::LineKind::CurrentIndex:
        NowXS = numbers::toInt16(value).value;
        break;
    case settings::LineKind::Marker:
    case settings::LineKind::Reserved:
        break;
    }
}

QString Form1::settingValue(const settings::SettingLine &line) const
{
    const QString control = QString::fromLatin1(line.control);
    switch (line.kind) {
    case settings::LineKind::Text:
        return findChild<QLineEdit *>(control)->text();
    case settings::LineKind::Caption:
        return findChild<QLabel *>(control)->text();
    case settings::LineKind::Switch:
        return QString::number(checkValue(findChild<QCheckBox *>(control)));
    case settings::LineKind::CurrentIndex:
        return QString::number(NowXS);
    case settings::LineKind::Marker:
    case settings::LineKind::Reserved:
        break;
    }
    return QString();
}

// ---------------------------------------------------------------------------------------------
// Option switches and help

void Form1::CheckInNotYuYIn_Click()
{
    FrameYuYin->setVisible(checkValue(CheckInNotYuYIn) != 1);
}

void Form1::CheckAutoBak_Click()
{
    TextBakPath->setEnabled(checkValue(CheckAutoBak) == 1);
}

void Form1::CheckAutoPai_Click()
{
    WzPai->setVisible(checkValue(CheckAutoPai) != 1);
    Picture1->setFocus();
}

void Form1::CheckAutoSave_Click()
{
    WZsaVe->setVisible(checkValue(CheckAutoSave) != 1);
    Picture1->setFocus();
}

void Form1::LabelSystemSit_Click()
{
    FrameSysSetting->setVisible(FrameSysSetting->isHidden());
    if (!FrameSysSetting->isHidden())
        FrameSysSetting->raise();
    Picture1->setFocus();
}

void Form1::LabelJieSHao_Click()
{
    TextGongNeng->setVisible(TextGongNeng->isHidden());
}

void Form1::CommandHelp_Click()
{
    const QString manual = m_environment.dataFilePath(QStringLiteral("help.html"));
    if (!QFileInfo::exists(manual))
        m_environment.dialogs.message(
            QStringLiteral("找不到操作说明文件 %1。").arg(QDir::toNativeSeparators(manual)));
    else if (!m_environment.shell.openFile(manual))
        m_environment.dialogs.message(
            QStringLiteral("无法打开操作说明 %1：没有找到能打开网页文件的程序。")
                .arg(QDir::toNativeSeparators(manual)));
    Picture1->setFocus();
}

void Form1::CommandOpenDir_Click()
{
    OpenFolder(TextOutPath->text());
}

void Form1::OpenFolder(const QString &folder)
{
    if (!QFileInfo(folder).isDir())
        m_environment.dialogs.message(
            QStringLiteral("文件夹 %1 不存在。").arg(QDir::toNativeSeparators(folder)));
    else if (!m_environment.shell.openFolder(folder))
        m_environment.dialogs.message(QStringLiteral("无法打开文件夹 %1：没有找到文件管理器。")
                                          .arg(QDir::toNativeSeparators(folder)));
}

// ---------------------------------------------------------------------------------------------
// Class list import and write-back

void Form1::DaoRuExcel_Click()
{
    ZongRenShu->setText(QStringLiteral("0"));
    YiZhao->setText(QStringLiteral("0"));
    ShengYu->clear();
    TextBanJi->clear();
    ExcelPath = workbookPath(TextExcelPath->text(), m_environment.programFolder);

    QApplication::setOverrideCursor(Qt::WaitCursor);
    const RosterImportResult result = importRoster(ExcelPath, XueShengXinXi);
    QApplication::restoreOverrideCursor();
    if (!result.ok) {
        qWarning().noquote() << "import of" << ExcelPath << "failed:" << result.reason;
        m_environment.dialogs.message(kWorkbookRequirementsMessage, kWorkbookRequirementsTitle);
        return;
    }
    ZongShu = qint16(result.studentCount);
    WuShenFenShu = qint16(result.withoutIdCount);
    m_environment.dialogs.message(importSummary(result), kImportSummaryTitle);
    moveToStudent(1);
    Picture1->setFocus();
}

void Form1::CommandDaoRuExcel_Click()
{
    const QString chosen = m_environment.dialogs.openFileName();
    if (chosen.isEmpty())
        return; // cancelled: the class in the window stays as it is
    TextExcelPath->setText(QDir::toNativeSeparators(chosen));
    DaoRuExcel_Click();
}

void Form1::SaveToExcel()
{
    const std::vector<PhotoMark> marks = photoMarksOf(XueShengXinXi);
    if (ExcelPath.isEmpty() || marks.empty())
        return;
    // A workbook that cannot be written stays as it was; the marks can be found again from the
    // photos by the next run's review.
    const WriteBackResult result = writePhotoMarks(ExcelPath, marks);
    if (!result.ok)
        qWarning().noquote() << "photo marks not written into" << ExcelPath << ":" << result.error;
    for (const QString &note : result.notes)
        qWarning().noquote() << "photo marks:" << note;
}

// ---------------------------------------------------------------------------------------------
// Class archive

void Form1::CommandToZip_Click()
{
    const CommandScope scope(m_commandRunning);
    if (scope.nested())
        return;

    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(TextBanJi->text());
    const std::optional<QString> answer = m_environment.dialogs.askText(
        QStringLiteral("请输入压缩包文件名,班级名称己复制到剪贴板,直接粘贴即可!"),
        QStringLiteral("压缩包文件名设置"), QString());
    // Spaces around a pasted name are not part of it; a name of spaces is no name.
    const QString name = answer ? answer->trimmed() : QString();
    const QString folder = TextOutPath->text();
    if (name.isEmpty()) {
        m_environment.dialogs.message(QStringLiteral("操作被取消或未输入文件名!"),
                                      QStringLiteral("警告"));
    } else if (!QFileInfo(folder).isDir()) {
        m_environment.dialogs.message(QStringLiteral("ZIP文件必须同图片文件在同一目录,请修改设置"));
    } else {
        reportPacking(packWithBusyCursor(folder, name));
    }
    Picture1->setFocus();
}

void Form1::reportPacking(const packaging::PackResult &result)
{
    if (result.status != packaging::PackStatus::Packed) {
        m_environment.dialogs.message(result.problem);
        return;
    }
    OpenFolder(TextOutPath->text());
    if (!result.photosKept.isEmpty())
        m_environment.dialogs.message(
            QStringLiteral("以下照片已放进压缩包，但无法从文件夹中删除：\n%1")
                .arg(result.photosKept.join(u'\n')));
    if (packaging::exceedsSizeLimit(result.archiveBytes))
        m_environment.dialogs.message(QStringLiteral("zip文件超过5M，请手动解压后，处理！"));
}

// ---------------------------------------------------------------------------------------------
// Current student view and review pane

void Form1::moveToStudent(qint16 index)
{
    const QString text = QString::number(index);
    if (TextNowXS->text() == text)
        TextNowXS_Change();
    else
        TextNowXS->setText(text);
}

void Form1::TextNowXS_Change()
{
    // While the operator types, a text that is not yet a number moves nothing.
    const numbers::Int16Conversion index = numbers::toInt16(TextNowXS->text());
    if (index.error == numbers::ConversionError::NotANumber)
        return;
    // The view reads two rows past the current one: numbers beyond the table are brought back.
    const bool beyondTable = index.error == numbers::ConversionError::Overflow
                                 ? numbers::parseNumber(TextNowXS->text()).value_or(0) > 0
                                 : index.value > roster::kHighestViewableIndex;
    if (beyondTable) {
        TextNowXS->setText(QString::number(roster::kHighestViewableIndex));
        return;
    }
    NowXS = index.ok() ? qMax<qint16>(index.value, 0) : 0;

    TextShenFenZheng->setText(XueShengXinXi.idNumber(NowXS));
    ShowXueSheng();
    YiZhao->setText(QString::number(YiZhaoShu));
    ZongRenShu->setText(QString::number(ZongShu));
    ShengYu->setText(QString::number(ZongShu - YiZhaoShu));
    TextBanJi->setText(XueShengXinXi.className(NowXS));
}

void Form1::ShowXueSheng()
{
    const int current = NowXS;
    Text1[2]->setText(XueShengXinXi.name(current));
    Text1[3]->setText(XueShengXinXi.name(current + 1));
    if (current == 1) {
        Text1[1]->clear();
        Text1[0]->clear();
    }
    if (current > 1) {
        Text1[1]->setText(XueShengXinXi.name(current - 1));
        LabelHao01->setText(roster::threeDigitNumber(current - 1));
    }
    if (current > 2) {
        Text1[0]->setText(XueShengXinXi.name(current - 2));
        LabelHao02->setText(roster::threeDigitNumber(current - 2));
    }

    const roster::UpcomingList list = roster::upcomingStudents(XueShengXinXi, current);
    TextXuHao->setPlainText(list.numbers.join(u'\n') + u'\n');
    TextName->setPlainText(list.names.join(u'\n') + u'\n');
    TextYouWuZhaoPian->setPlainText(list.marks.join(u'\n') + u'\n');

    // An ID-card number of five characters or fewer means the student has no photo.
    if (current > 2 && XueShengXinXi.idNumber(current - 2).size() > 5)
        showReviewPhoto(ImageST02, current - 2);
    if (current < 2 || XueShengXinXi.idNumber(current - 1).size() < 6)
        return;
    showReviewPhoto(ImageSt01, current - 1);
    if (roster::findStudentPhoto(TextOutPath->text(), TextBakPath->text(),
                                 XueShengXinXi.idNumber(current - 1))
            .isEmpty())
        return;

    // The previous student's photo exists: the mark set now is counted by the next refresh.
    YiZhaoShu = qint16(roster::countPhotographed(XueShengXinXi));
    XueShengXinXi.setCell(current - 1, RosterTable::kPhotoMark, kPhotoTakenMark);
}

void Form1::showReviewPhoto(QLabel *slot, int row)
{
    slot->clear();
    const QString path = roster::findStudentPhoto(TextOutPath->text(), TextBakPath->text(),
                                                  XueShengXinXi.idNumber(row));
    if (path.isEmpty())
        return;
    // Photos may hold JPEG or bitmap data whatever their name says.
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QImage photo = reader.read();
    if (photo.isNull())
        slot->setText(QStringLiteral("照片无法读取"));
    else
        slot->setPixmap(QPixmap::fromImage(photo));
}

// ---------------------------------------------------------------------------------------------
// Photo save

void Form1::SavePhoto()
{
    if (m_photoSaver->isSaving())
        return;
    TextOutPath->setText(photo::withoutTrailingSeparator(TextOutPath->text()));

    photo::SaveRequest request;
    request.outputFolder = TextOutPath->text();
    request.backupFolder = TextBakPath->text();
    request.name = XueShengXinXi.name(NowXS);
    request.idNumber = XueShengXinXi.idNumber(NowXS);
    request.adjustDpi = checkValue(CheckDpi) == 1;
    request.backup = checkValue(CheckAutoBak) == 1;
    request.compress = checkValue(CheckAutoYaSuo) == 1;
    request.picture = Picture1->image();

    // The scratch boxes show what the steps made, also when a later step failed.
    struct ShowSteps
    {
        Form1 &form;
        ~ShowSteps()
        {
            const photo::DpiStep &dpi = form.m_photoSaver->dpiStep();
            if (!dpi.loadedPicture().isNull())
                form.PictureStmp->setImage(dpi.loadedPicture());
            if (!dpi.DstImage.isEmpty())
                form.PictureMiaodian->setImage(dpi.resampledPicture());
            if (!form.m_photoSaver->compressedPicture().isNull())
                form.Picture2->setImage(form.m_photoSaver->compressedPicture());
            form.Picture1->update();
        }
    };
    const ShowSteps showSteps{*this};
    m_photoSaver->SavePhoto(request);
}

void Form1::WZsaVe_Click()
{
    try {
        SavePhoto();
    } catch (const photo::PhotoError &error) {
        m_environment.dialogs.message(error.description());
    }
    Picture1->setFocus();
}

// ---------------------------------------------------------------------------------------------
// Screen capture

void Form1::CapturePhoto()
{
    const frame::PhotoSize photo{programWide.QjZhaoPKuan, programWide.QjZhaoPGao};
    if (photo.width <= 0 || photo.height <= 0) {
        m_environment.dialogs.message(
            QStringLiteral("照片宽度或高度为0，无法拍照，请设置照片宽。"));
        return;
    }
    // The frame is hidden for the copy, so that its lines are not in the photo, and shown
    // again whatever happens.
    struct ShowFrameAgain
    {
        XiangKuang *frame;
        const bool &unloaded;
        ~ShowFrameAgain()
        {
            if (!unloaded)
                frame->Show();
        }
    } showAgain{m_xiangKuang.get(), m_unloaded};
    m_xiangKuang->setVisible(false);
    m_environment.screen.letWindowsRepaint();

    const QRect rectangle(twips::toPixels(m_xiangKuang->Left()),
                          twips::toPixels(m_xiangKuang->Top()), photo.width, photo.height);
    const QImage picture = m_environment.screen.grab(rectangle);
    if (picture.isNull())
        throw std::runtime_error("the screen could not be copied");
    Picture1->setImage(picture);

    const QString sound = m_environment.dataFilePath(QStringLiteral("QieZi.wav"));
    if (!m_environment.shutterSound.play(sound))
        qWarning().noquote() << "shutter sound:" << m_environment.shutterSound.lastError();
}

void Form1::WzPai_Click()
{
    try {
        CapturePhoto();
    } catch (const std::exception &) {
        m_environment.dialogs.message(kCaptureFailed);
    }
    Picture1->setFocus();
}

// ---------------------------------------------------------------------------------------------
// Navigation and voice prompts

void Form1::speak(const QString &text)
{
    if (m_environment.speech.isAvailable())
        m_environment.speech.speak(text);
}

void Form1::CommandIn_Click()
{
    const CommandScope scope(m_commandRunning);
    if (scope.nested())
        return;

    if (!FrameSysSetting->isHidden())
        LabelSystemSit_Click();
    Picture1->clear();
    // A step that fails is skipped and the class moves on, but the operator is told, so that
    // the student can be photographed again.
    QStringList failures;
    try {
        if (checkValue(CheckAutoPai) == 1)
            CapturePhoto();
    } catch (const std::exception &) {
        failures << kCaptureFailed;
    }
    try {
        if (checkValue(CheckAutoSave) == 1)
            SavePhoto();
    } catch (const photo::PhotoError &error) {
        failures << error.description();
    } catch (const std::exception &error) {
        failures << QString::fromLocal8Bit(error.what());
    }

    const qint16 endOfClass = qint16(ZongShu + 1);
    if (NowXS + 1 <= endOfClass)
        NowXS = qint16(NowXS + 1);
    moveToStudent(NowXS);
    if (!failures.isEmpty())
        m_environment.dialogs.message(failures.join(u'\n'));

    if (checkValue(CheckInNotYuYIn) != 1 && checkValue(CheckAutoSave) != 0) {
        if (NowXS != endOfClass) {
            speak(TextSay1->text() + Text1[2]->text() + TextSay2->text() + Text1[3]->text() +
                  TextSay3->text());
        } else {
            speak(QStringLiteral("已是最后一位,照相结束!"));
            CheckAutoSave->setChecked(false);
            CheckAutoPai->setChecked(false);
        }
    }
    Picture1->setFocus();
}

void Form1::CommandOut_Click()
{
    const CommandScope scope(m_commandRunning);
    if (scope.nested())
        return;

    if (checkValue(CheckAutoSave) == 1) {
        m_environment.dialogs.message(QStringLiteral("现在是浏览模式,不再自动拍照,自动保存!"));
        CheckAutoSave->setChecked(false);
        CheckAutoPai->setChecked(false);
    }
    if (NowXS > 1)
        NowXS = qint16(NowXS - 1);
    moveToStudent(NowXS);
    Picture1->setFocus();
}

void Form1::CommandNextOne_Click()
{
    const CommandScope scope(m_commandRunning);
    if (scope.nested())
        return;

    // Past the class the view can still show every row up to the table's end.
    if (NowXS < roster::kHighestViewableIndex)
        NowXS = qint16(NowXS + 1);
    moveToStudent(NowXS);
    Picture1->setFocus();
}

// ---------------------------------------------------------------------------------------------
// Hotkey poller

namespace {

struct HotKeyAction
{
    HotKey key;
    void (Form1::*action)();
    bool showFrame; // bring the frame to the front afterwards
};

// One tick acts on every pressed key, in this order.
const HotKeyAction kHotKeyActions[] = {
    {HotKey::W, &Form1::moveFrameUp, true},
    {HotKey::S, &Form1::moveFrameDown, true},
    {HotKey::A, &Form1::moveFrameLeft, true},
    {HotKey::D, &Form1::moveFrameRight, true},
    {HotKey::CapsLock, &Form1::CommandIn_Click, false},
    {HotKey::Q, &Form1::shrinkFrame, true},
    {HotKey::E, &Form1::enlargeFrame, true},
    {HotKey::F, &Form1::centreFrameOnCursor, true},
    {HotKey::Up, &Form1::CommandOut_Click, true},
    {HotKey::Down, &Form1::CommandNextOne_Click, true},
    {HotKey::Left, &Form1::repeatCurrentName, false},
    {HotKey::Right, &Form1::CommandIn_Click, true},
};

} // namespace

void Form1::Timer1_Timer()
{
    // A tick inside a running command acts on no key; the keys wait for a later tick.
    if (m_commandRunning || !m_xiangKuang || m_unloaded)
        return;
    const HotKeySet keys = m_environment.keys.poll();
    if (contains(keys, HotKey::F11))
        toggleHotKeys();
    if (checkValue(CheckHotKey) == 1)
        return;
    for (const HotKeyAction &entry : kHotKeyActions) {
        if (!contains(keys, entry.key) || m_unloaded)
            continue;
        (this->*entry.action)();
        if (entry.showFrame && !m_unloaded)
            m_xiangKuang->Show();
    }
}

void Form1::toggleHotKeys()
{
    const CommandScope scope(m_commandRunning);
    const bool switchOff = checkValue(CheckHotKey) == 0;
    CheckHotKey->setChecked(switchOff);
    m_environment.dialogs.message(switchOff ? QStringLiteral("热键己关闭,恢复再次按F11")
                                            : QStringLiteral("热键打开"),
                                  QStringLiteral("关闭热键"));
    QThread::msleep(300);
}

void Form1::moveFrameUp()
{
    moveFrameBySteps(0, -1);
}

void Form1::moveFrameDown()
{
    moveFrameBySteps(0, 1);
}

void Form1::moveFrameLeft()
{
    moveFrameBySteps(-1, 0);
}

void Form1::moveFrameRight()
{
    moveFrameBySteps(1, 0);
}

// Moves the frame by whole steps of the move box; a box without a number moves nothing.
void Form1::moveFrameBySteps(int across, int down)
{
    const std::optional<double> step = frame::moveStepTwips(YDStep->text());
    if (!step)
        return;
    if (down != 0)
        m_xiangKuang->setTop(float(m_xiangKuang->Top() + down * *step));
    if (across != 0)
        m_xiangKuang->setLeft(float(m_xiangKuang->Left() + across * *step));
}

void Form1::shrinkFrame()
{
    if (checkValue(Check1) != 0)
        return;
    const std::optional<int> width = frame::zoomedWidth(ZhaoPKuan->text(), -frame::kZoomStep);
    if (!width)
        return;
    ZhaoPKuan->setText(QString::number(*width));
    m_xiangKuang->setTop(float(m_xiangKuang->Top() + frame::zoomShiftTwips()));
    m_xiangKuang->setLeft(float(m_xiangKuang->Left() + frame::zoomShiftTwips()));
    setWidth(Width() - frame::zoomWindowWidthTwips());
}

void Form1::enlargeFrame()
{
    if (checkValue(Check1) != 0)
        return;
    const std::optional<int> width = frame::zoomedWidth(ZhaoPKuan->text(), frame::kZoomStep);
    if (!width)
        return;
    ZhaoPKuan->setText(QString::number(*width));
    m_xiangKuang->setTop(float(m_xiangKuang->Top() - frame::zoomShiftTwips()));
    m_xiangKuang->setLeft(float(m_xiangKuang->Left() - frame::zoomShiftTwips()));
    setWidth(Width() + frame::zoomWindowWidthTwips());
    if (m_xiangKuang->Left() < 0)
        m_xiangKuang->setLeft(0);
    if (m_xiangKuang->Top() < 0)
        m_xiangKuang->setTop(0);
}

void Form1::centreFrameOnCursor()
{
    const QPointF position =
        frame::frameCentredOn(QCursor::pos(), {programWide.QjZhaoPKuan, programWide.QjZhaoPGao});
    m_xiangKuang->setTop(float(position.y()));
    m_xiangKuang->setLeft(float(position.x()));
}

void Form1::repeatCurrentName()
{
    const CommandScope scope(m_commandRunning);
    speak(XueShengXinXi.name(NowXS));
}

// ---------------------------------------------------------------------------------------------
// Frame geometry

void Form1::ZhaoPKuan_Change()
{
    if (applyTextRule(ZhaoPKuan, frame::kPhotoWidthRule))
        return;
    const std::optional<frame::PhotoSize> photo = frame::photoSizeForWidthText(ZhaoPKuan->text());
    if (!photo)
        return;
    programWide.QjZhaoPKuan = photo->width;
    programWide.QjZhaoPGao = photo->height;
    ZhaoPGao->setText(QString::number(photo->height));
    setFrameSize(*photo);
}

void Form1::setFrameSize(frame::PhotoSize photo)
{
    programWide.QjKK = twips::fromPixels16(photo.width).value_or(programWide.QjKK);
    programWide.QjKG = twips::fromPixels16(photo.height).value_or(programWide.QjKG);
    if (!m_xiangKuang)
        return;
    if (const std::optional<QSize> size = frame::frameWindowSizeTwips(photo)) {
        m_xiangKuang->setSizeTwips(*size);
        m_xiangKuang->update();
    }
}

void Form1::TextXianKuan01_Change()
{
    applyTextRule(TextXianKuan01, frame::kOuterBorderRule);
}

void Form1::TextXianKuan02_Change()
{
    applyTextRule(TextXianKuan02, frame::kInnerBorderRule);
}

void Form1::YDStep_Change()
{
    applyTextRule(YDStep, frame::kMoveStepRule);
}

void Form1::SuoFangStep_Change()
{
    applyTextRule(SuoFangStep, frame::kZoomStepRule);
}

// A replaced text runs the box's change reaction again for the new text.
bool Form1::applyTextRule(QLineEdit *box, const frame::TextRule &rule)
{
    const std::optional<QString> replacement = frame::replacementText(rule, box->text());
    if (replacement)
        box->setText(*replacement);
    return replacement.has_value();
}

void Form1::Check1_Click()
{
    ZhaoPGao->setEnabled(false);
    ZhaoPKuan->setEnabled(checkValue(Check1) != 1);
    Picture1->setFocus();
}
