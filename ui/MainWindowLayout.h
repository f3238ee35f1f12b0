// The main window's controls, placed as the window was designed (positions in twips). Legacy
// control names stay as the widgets' object names.
#pragma once

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QWidget;

namespace lumo::ui {

class ClickableLabel;
class PictureView;

struct MainWindowControls
{
    // Input and output
    QLineEdit *workbookPath;
    QPushButton *chooseWorkbook;
    QLineEdit *outputFolder;
    QPushButton *openOutputFolder;
    QPushButton *help;

    // The settings group
    QGroupBox *settingsGroup;
    QCheckBox *adjustDpi;
    QCheckBox *compress;
    QCheckBox *hotKeysOff;
    QCheckBox *backup;
    QLineEdit *backupFolder;
    QCheckBox *voiceOff;
    QLineEdit *outerBorderWidth;
    QLineEdit *innerBorderWidth;
    QLineEdit *photoWidth;
    QLineEdit *photoHeight;
    QCheckBox *sizeLocked;
    QLineEdit *moveStep;
    QLineEdit *zoomStep;
    QGroupBox *promptGroup;
    std::array<QLineEdit *, 3> prompts; // before the name, between the names, after
    QComboBox *photoSource;             // the screen, Lumo's own camera, a watched folder
    QComboBox *camera;
    QLineEdit *watchedFolder;
    QPushButton *chooseWatchedFolder;
    QCheckBox *checkPhotos; // "拍照检查"
    QCheckBox *bestQuality; // "最佳画质"
    QLineEdit *schoolCode;  // "学校标识码", for students without an ID-card number
    QLineEdit *classNumber; // "班号"

    // The current student and the list
    QLineEdit *currentName;
    QLineEdit *nextName;
    QLineEdit *idNumber;
    QPlainTextEdit *listNumbers;
    QPlainTextEdit *listNames;
    QPlainTextEdit *listMarks;

    // The review pane: the previous student on the left, the one before on the right
    QGroupBox *reviewGroup;
    QLabel *newerPhoto;
    QLabel *newerNumber;
    QLineEdit *newerName;
    QLabel *newerVerdict; // what the photo checks said, over the photo's foot
    QLabel *olderPhoto;
    QLabel *olderNumber;
    QLineEdit *olderName;
    QLabel *olderVerdict;

    // The command buttons
    QPushButton *previous;
    QLineEdit *studentNumber;
    QPushButton *next;
    QPushButton *skip;
    QCheckBox *oneKeyCapture;
    QCheckBox *oneKeySave;
    QPushButton *capture;
    QPushButton *save;
    QPushButton *importClass;
    QPushButton *packClass;
    QPushButton *classReport;
    ClickableLabel *settingsLink;
    QPushButton *closeSettings; // the settings group covers the link while it is shown

    // The class and its counters
    QLineEdit *className;
    QLabel *total;
    QLabel *photographed;
    QLabel *remaining;
    QLineEdit *missing; // the students passed without a photo
    QProgressBar *progress;

    PictureView *photo;
    QPlainTextEdit *featureList;
    ClickableLabel *featureLink;
};

MainWindowControls createMainWindowControls(QWidget *window);

} // namespace lumo::ui
