// The main window: the operator's workspace. Its controls are also the store of the settings;
// they carry the names by which the rest of the program reads and writes them.
#pragma once

#include "app/ProgramEnvironment.h"
#include "frame/FrameGeometry.h"
#include "frame/ProgramWide.h"
#include "roster/RosterTable.h"
#include "settings/SettingsFile.h"

#include <QWidget>

#include <array>
#include <memory>

class ClickableLabel;
class PictureBox;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class XiangKuang;
namespace packaging {
struct PackResult;
}
namespace photo {
class PhotoSaver;
}

class Form1 : public QWidget
{
    Q_OBJECT

public:
    explicit Form1(const ProgramEnvironment &environment, QWidget *parent = nullptr);
    ~Form1() override;

    // Start-up: shows the photo frame, loads the settings and places both windows.
    void Form_Load();

    // Shut-down: saves the settings and closes the photo frame. Runs once; closing the window
    // runs it too.
    void Form_Unload();

    // Position and size in twips (15 per pixel), as the frame rules compute them.
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void setLeft(int twips);
    void setTop(int twips);
    void setWidth(int twips);
    void setHeight(int twips);

    XiangKuang *xiangKuang() const { return m_xiangKuang.get(); }
    QString settingsFilePath() const { return m_settingsFilePath; }

    // Settings file
    void LoadSettings();
    void SaveSettings();
    void ResetSettings();

    // Option switches and help
    void CheckInNotYuYIn_Click();
    void CheckAutoBak_Click();
    void CheckAutoPai_Click();
    void CheckAutoSave_Click();
    void LabelSystemSit_Click();
    void LabelJieSHao_Click();
    void CommandHelp_Click();
    void CommandOpenDir_Click();
    void OpenFolder(const QString &folder);

    // Class list import and write-back
    void DaoRuExcel_Click();
    void CommandDaoRuExcel_Click();
    void SaveToExcel();

    // Class archive
    void CommandToZip_Click();

    // Current student view and review pane
    void TextNowXS_Change();
    void ShowXueSheng();
    // Writes the number into TextNowXS; the view refreshes also when the text stays the same.
    void moveToStudent(qint16 index);

    // Screen capture
    void CapturePhoto();
    void WzPai_Click();

    // Navigation and voice prompts
    void CommandIn_Click();
    void CommandOut_Click();
    void CommandNextOne_Click();

    // Hotkey poller: one tick of Timer1, and what its keys do
    void Timer1_Timer();
    bool isCommandRunning() const { return m_commandRunning; }
    void moveFrameUp();
    void moveFrameDown();
    void moveFrameLeft();
    void moveFrameRight();
    void shrinkFrame();
    void enlargeFrame();
    void centreFrameOnCursor();
    void repeatCurrentName();

    // Photo save. SavePhoto throws photo::PhotoError when a step fails; the Save button shows it.
    void SavePhoto();
    void WZsaVe_Click();

    // Frame geometry
    void ZhaoPKuan_Change();
    void TextXianKuan01_Change();
    void TextXianKuan02_Change();
    void YDStep_Change();
    void SuoFangStep_Change();
    void Check1_Click();

    // Variables beside the controls
    RosterTable XueShengXinXi;
    qint16 ZongShu = 0;
    qint16 WuShenFenShu = 0;
    QString ExcelPath;
    qint16 NowXS = 0;
    qint16 YiZhaoShu = 0;
    ProgramWide programWide;

    // Controls, by group
    QGroupBox *FrameFile;
    QLineEdit *TextExcelPath;
    QPushButton *CommandDaoRuExcel;
    QLineEdit *TextOutPath;
    QPushButton *CommandOpenDir;
    QLabel *Label7;
    QLabel *Label13;

    QPushButton *CommandHelp;

    QGroupBox *FrameSysSetting;
    QCheckBox *CheckDpi;
    QCheckBox *CheckAutoYaSuo;
    QCheckBox *CheckHotKey;
    QCheckBox *CheckAutoBak;
    QLineEdit *TextBakPath;
    QCheckBox *CheckInNotYuYIn;
    QLineEdit *TextXianKuan01;

    QGroupBox *Frame1;
    QLineEdit *TextXianKuan02;
    QLineEdit *ZhaoPKuan;
    QLineEdit *ZhaoPGao;
    QCheckBox *Check1;
    QLineEdit *YDStep;
    QLineEdit *SuoFangStep;
    QLabel *LabelQjKK;
    QLabel *LabelQjKG;
    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label3;
    QLabel *Label4;
    QLabel *Label5;
    QLabel *Label9;
    QLabel *Label10;
    QLabel *Label11;

    QGroupBox *FrameYuYin;
    QLineEdit *TextSay1;
    QLineEdit *TextSay2;
    QLineEdit *TextSay3;

    QLineEdit *TextShenFenZheng;
    QPlainTextEdit *TextXuHao;
    QPlainTextEdit *TextName;
    QPlainTextEdit *TextYouWuZhaoPian;
    std::array<QLineEdit *, 4> Text1{};

    QGroupBox *FrameChecK;
    QLabel *LabelHao01;
    QLabel *LabelHao02;
    QLabel *ImageSt01;
    QLabel *ImageST02;

    PictureBox *Picture1;
    PictureBox *Picture2;
    PictureBox *PictureStmp;
    PictureBox *PictureMiaodian;

    QGroupBox *FrameAnNiu;
    QPushButton *CommandToZip;
    QPushButton *CommandNextOne;
    QPushButton *DaoRuExcel;
    QPushButton *WZsaVe;
    QCheckBox *CheckAutoPai;
    QCheckBox *CheckAutoSave;
    QTimer *Timer1;
    QPushButton *CommandIn;
    QPushButton *CommandOut;
    QLineEdit *TextNowXS;
    QPushButton *WzPai;
    ClickableLabel *LabelSystemSit;

    QGroupBox *FrameXinXi;
    QLineEdit *TextBanJi;
    QLabel *Label12;
    QLabel *Label14;
    QLabel *ZongRenShu;
    QLabel *YiZhao;
    QLabel *ShengYu;

    QPlainTextEdit *TextGongNeng;
    ClickableLabel *LabelJieSHao;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void createControls();
    void connectReactions();
    void applyStartupGeometry();
    void storeSetting(const settings::SettingLine &line, const QString &value);
    QString settingValue(const settings::SettingLine &line) const;
    void setFrameSize(frame::PhotoSize photo);
    void showReviewPhoto(QLabel *slot, int row);
    void speak(const QString &text);
    void moveFrameBySteps(int across, int down);
    void toggleHotKeys();
    bool applyTextRule(QLineEdit *box, const frame::TextRule &rule);
    void reportPacking(const packaging::PackResult &result);

    ProgramEnvironment m_environment;
    std::unique_ptr<XiangKuang> m_xiangKuang;
    std::unique_ptr<photo::PhotoSaver> m_photoSaver;
    QString m_settingsFilePath;
    bool m_unloaded = false;
    bool m_commandRunning = false; // a capture, save, announcement or message box is under way
};
