#include "ui/MainWindow.h"

#include "common/Twips.h"
#include "ui/ClickableLabel.h"
#include "ui/PictureView.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

namespace lumo::ui {

namespace {

const QString kTitle = QStringLiteral("Lumov2.0");

// Distance from the main window's left edge to its right edge beyond the photo frame.
constexpr int kWindowWidthBesideFrame = 5475;
constexpr int kWindowHeight = 8430;

// A stored switch: 0 off, 1 on, 2 the third state a settings file may hold.
Qt::CheckState checkStateOf(settings::Switch value)
{
    return value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked;
}

settings::Switch switchOf(Qt::CheckState state)
{
    return state == Qt::Checked ? 1 : state == Qt::PartiallyChecked ? 2 : 0;
}

void setTextIfChanged(QLineEdit *box, const QString &text)
{
    if (box->text() != text)
        box->setText(text);
}

// The list columns end every row with a line break, as the list was always written.
void setLines(QPlainTextEdit *column, const QStringList &lines)
{
    column->setPlainText(lines.isEmpty() ? QString() : lines.join(u'\n') + u'\n');
}

void showVerdict(const session::PhotoVerdictText &verdict, QLabel *label)
{
    label->setText(verdict.text);
    QPalette colours = label->palette();
    colours.setColor(QPalette::Window, verdict.ok ? QColor(0, 128, 0) : QColor(200, 0, 0));
    colours.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(colours);
    label->setVisible(!verdict.text.isEmpty());
}

void showReviewSlot(const session::ReviewSlot &slot, QLabel *photo, QLabel *number, QLineEdit *name,
                    QLabel *verdict)
{
    showVerdict(slot.verdict, verdict);
    number->setText(slot.number);
    setTextIfChanged(name, slot.name);
    if (!slot.photo.isNull())
        photo->setPixmap(QPixmap::fromImage(slot.photo));
    else
        photo->setText(slot.note); // also clears an earlier photo
}

} // namespace

MainWindow::MainWindow(session::ClassSession &session, QWidget *parent)
    : QWidget(parent), m_session(session), m_controls(createMainWindowControls(this))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kTitle);
    connectCommands();
    bindSettings();
    bindLumoSettings();

    connect(&m_session, &session::ClassSession::settingsChanged, this, &MainWindow::showSettings);
    connect(&m_session, &session::ClassSession::switchesChanged, this, &MainWindow::showSwitches);
    connect(&m_session, &session::ClassSession::lumoSettingsChanged, this,
            &MainWindow::showLumoSettings);
    connect(&m_session, &session::ClassSession::paneChanged, this, &MainWindow::showPane);
    connect(&m_session, &session::ClassSession::capturedPhotoChanged, this,
            &MainWindow::showCapturedPhoto);
    connect(&m_session, &session::ClassSession::commandFinished, this, &MainWindow::focusPhoto);
    connect(&m_session, &session::ClassSession::manualRequested, &m_manual,
            &ManualWindow::showManual);
    connect(&m_session, &session::ClassSession::nextStarted, this, [this] {
        if (!m_controls.settingsGroup->isHidden())
            toggleSettingsGroup();
    });
    connect(&m_session, &session::ClassSession::windowWidthChanged, this, [this](int twips) {
        resize(qMax(1, common::twipsToPixels(common::pixelsToTwips(width()) + twips)), height());
    });
    connect(&m_session, &session::ClassSession::busyChanged, this, [](bool busy) {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    });
    connect(&m_session, &session::ClassSession::progressChanged, this, [this](int done, int total) {
        QProgressBar *bar = m_controls.progress;
        bar->setRange(0, qMax(1, total));
        bar->setValue(done);
        bar->setVisible(done < total);
    });
    connect(&m_session, &session::ClassSession::clipboardOffered, this, [](const QString &text) {
        QClipboard *clipboard = QGuiApplication::clipboard();
        clipboard->clear();
        clipboard->setText(text);
    });

    showSettings();
    showSwitches();
    showLumoSettings();
    showPane();
}

void MainWindow::placeBesideFrame(int frameWidthTwips)
{
    move(common::twipsToPixels(frameWidthTwips), 0);
    resize(qMax(1, common::twipsToPixels(frameWidthTwips + kWindowWidthBesideFrame)),
           common::twipsToPixels(kWindowHeight));
}

bool MainWindow::operatorIsTyping()
{
    if (QApplication::activeModalWidget())
        return true;
    const QWidget *focus = QApplication::focusWidget();
    if (const auto *box = qobject_cast<const QLineEdit *>(focus))
        return !box->isReadOnly();
    const auto *text = qobject_cast<const QPlainTextEdit *>(focus);
    return text && !text->isReadOnly();
}

void MainWindow::bringToFront()
{
    showNormal();
    raise();
    activateWindow();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    m_manual.close();
    emit closing();
    event->accept();
}

void MainWindow::connectCommands()
{
    session::ClassSession *s = &m_session;
    const MainWindowControls &c = m_controls;
    connect(c.importClass, &QPushButton::clicked, s, &session::ClassSession::importClass);
    connect(c.chooseWorkbook, &QPushButton::clicked, s,
            &session::ClassSession::chooseAndImportClass);
    connect(c.openOutputFolder, &QPushButton::clicked, s, &session::ClassSession::openOutputFolder);
    connect(c.help, &QPushButton::clicked, s, &session::ClassSession::openHelp);
    connect(c.packClass, &QPushButton::clicked, s, &session::ClassSession::packClass);
    connect(c.classReport, &QPushButton::clicked, s, &session::ClassSession::writeClassReport);
    connect(c.save, &QPushButton::clicked, s, &session::ClassSession::savePhoto);
    connect(c.capture, &QPushButton::clicked, s, &session::ClassSession::takePhoto);
    connect(c.next, &QPushButton::clicked, s, &session::ClassSession::next);
    connect(c.previous, &QPushButton::clicked, s, &session::ClassSession::previous);
    connect(c.skip, &QPushButton::clicked, s, &session::ClassSession::skip);
    connect(c.studentNumber, &QLineEdit::textEdited, s, &session::ClassSession::typeStudentNumber);
    connect(c.className, &QLineEdit::textEdited, s, &session::ClassSession::setClassName);
    connect(c.settingsLink, &ClickableLabel::clicked, this, &MainWindow::toggleSettingsGroup);
    connect(c.closeSettings, &QPushButton::clicked, this, &MainWindow::toggleSettingsGroup);
    connect(c.featureLink, &ClickableLabel::clicked, this,
            [list = c.featureList] { list->setVisible(list->isHidden()); });
}

void MainWindow::bindText(QLineEdit *box, QString settings::SessionSettings::*field,
                          const std::function<void(const QString &)> &change)
{
    connect(box, &QLineEdit::textEdited, this, change);
    m_showSettings.push_back(
        [this, box, field] { setTextIfChanged(box, m_session.settings().*field); });
}

void MainWindow::bindText(QLineEdit *box, QString settings::SessionSettings::*field)
{
    bindText(box, field, [this, field](const QString &text) { m_session.setSetting(field, text); });
}

void MainWindow::bindSwitch(QCheckBox *box, settings::Switch settings::SessionSettings::*field)
{
    connect(box, &QCheckBox::clicked, this, [this, box, field] {
        // A box in its third state goes back to two states once clicked.
        box->setTristate(false);
        m_session.setSetting(field, switchOf(box->checkState()));
    });
    m_showSettings.push_back([this, box, field] {
        const Qt::CheckState state = checkStateOf(m_session.settings().*field);
        box->setTristate(state == Qt::PartiallyChecked);
        box->setCheckState(state);
    });
}

void MainWindow::bindSessionSwitch(QCheckBox *box, bool session::SessionSwitches::*field)
{
    connect(box, &QCheckBox::clicked, this, [this, field](bool on) {
        session::SessionSwitches switches = m_session.switches();
        switches.*field = on;
        m_session.setSwitches(switches);
    });
}

void MainWindow::bindSettings()
{
    using settings::SessionSettings;
    session::ClassSession *s = &m_session;
    const MainWindowControls &c = m_controls;
    bindText(c.workbookPath, &SessionSettings::workbookPath);
    bindText(c.outputFolder, &SessionSettings::outputFolder);
    bindText(c.backupFolder, &SessionSettings::backupFolder);
    bindText(c.prompts[0], &SessionSettings::promptBeforeName);
    bindText(c.prompts[1], &SessionSettings::promptBetweenNames);
    bindText(c.prompts[2], &SessionSettings::promptAfterNextName);
    bindText(c.photoWidth, &SessionSettings::photoWidth,
             [s](const QString &text) { s->setPhotoWidth(text); });
    bindText(c.photoHeight, &SessionSettings::photoHeight, [](const QString &) {});
    bindText(c.outerBorderWidth, &SessionSettings::outerBorderWidth,
             [s](const QString &text) { s->setOuterBorderWidth(text); });
    bindText(c.innerBorderWidth, &SessionSettings::innerBorderWidth,
             [s](const QString &text) { s->setInnerBorderWidth(text); });
    bindText(c.moveStep, &SessionSettings::moveStep,
             [s](const QString &text) { s->setMoveStep(text); });
    bindText(c.zoomStep, &SessionSettings::zoomStep,
             [s](const QString &text) { s->setZoomStep(text); });
    bindSwitch(c.adjustDpi, &SessionSettings::adjustDpi);
    bindSwitch(c.compress, &SessionSettings::compress);
    bindSwitch(c.backup, &SessionSettings::backup);
    bindSwitch(c.voiceOff, &SessionSettings::voiceOff);

    bindSessionSwitch(c.oneKeyCapture, &session::SessionSwitches::oneKeyCapture);
    bindSessionSwitch(c.oneKeySave, &session::SessionSwitches::oneKeySave);
    bindSessionSwitch(c.hotKeysOff, &session::SessionSwitches::hotKeysOff);
    bindSessionSwitch(c.sizeLocked, &session::SessionSwitches::sizeLocked);
    for (QCheckBox *box : {c.oneKeyCapture, c.oneKeySave, c.sizeLocked})
        connect(box, &QCheckBox::clicked, this, &MainWindow::focusPhoto);
}

void MainWindow::showSettings()
{
    for (const std::function<void()> &show : m_showSettings)
        show();
    const settings::SessionSettings &settings = m_session.settings();
    m_controls.promptGroup->setVisible(settings.voiceOff != 1);
    m_controls.backupFolder->setEnabled(settings.backup == 1);
}

void MainWindow::bindLumoSettings()
{
    const MainWindowControls &c = m_controls;
    auto change = [this](const std::function<void(settings::LumoSettings &)> &edit) {
        settings::LumoSettings sources = m_session.lumoSettings();
        edit(sources);
        m_session.setLumoSettings(sources);
    };
    connect(c.photoSource, &QComboBox::activated, this, [change](int index) {
        change([index](settings::LumoSettings &s) { s.source = settings::PhotoSourceKind(index); });
    });
    connect(c.camera, &QComboBox::activated, this, [change, box = c.camera](int index) {
        change([&](settings::LumoSettings &s) { s.cameraId = box->itemData(index).toByteArray(); });
    });
    connect(c.watchedFolder, &QLineEdit::textEdited, this, [change](const QString &folder) {
        change([&](settings::LumoSettings &s) { s.watchedFolder = folder; });
    });
    connect(c.chooseWatchedFolder, &QPushButton::clicked, &m_session,
            &session::ClassSession::chooseWatchedFolder);
    connect(c.checkPhotos, &QCheckBox::clicked, this,
            [change](bool on) { change([on](settings::LumoSettings &s) { s.checkPhotos = on; }); });
    connect(c.bestQuality, &QCheckBox::clicked, this,
            [change](bool on) { change([on](settings::LumoSettings &s) { s.bestQuality = on; }); });
    connect(c.schoolCode, &QLineEdit::textEdited, this, [change](const QString &code) {
        change([&](settings::LumoSettings &s) { s.schoolCode = code; });
    });
    connect(c.classNumber, &QLineEdit::textEdited, this, [change](const QString &number) {
        change([&](settings::LumoSettings &s) { s.classNumber = number; });
    });
}

void MainWindow::showLumoSettings()
{
    const settings::LumoSettings &options = m_session.lumoSettings();
    const MainWindowControls &c = m_controls;
    c.photoSource->setCurrentIndex(int(options.source));
    c.camera->clear();
    for (const platform::CameraDevice &device : m_session.cameraDevices())
        c.camera->addItem(device.name, device.id);
    c.camera->setCurrentIndex(qMax(0, c.camera->findData(options.cameraId)));
    c.camera->setEnabled(options.source == settings::PhotoSourceKind::Camera);
    setTextIfChanged(c.watchedFolder, options.watchedFolder);
    c.watchedFolder->setEnabled(options.source == settings::PhotoSourceKind::Folder);
    c.chooseWatchedFolder->setEnabled(options.source == settings::PhotoSourceKind::Folder);
    c.checkPhotos->setChecked(options.checkPhotos);
    c.bestQuality->setChecked(options.bestQuality);
    setTextIfChanged(c.schoolCode, options.schoolCode);
    setTextIfChanged(c.classNumber, options.classNumber);
}

void MainWindow::showSwitches()
{
    const session::SessionSwitches &switches = m_session.switches();
    const MainWindowControls &c = m_controls;
    c.oneKeyCapture->setChecked(switches.oneKeyCapture);
    c.oneKeySave->setChecked(switches.oneKeySave);
    c.hotKeysOff->setChecked(switches.hotKeysOff);
    c.sizeLocked->setChecked(switches.sizeLocked);
    c.capture->setVisible(!switches.oneKeyCapture);
    c.save->setVisible(!switches.oneKeySave);
    c.photoWidth->setEnabled(!switches.sizeLocked);
}

void MainWindow::showPane()
{
    const session::StudentPane &pane = m_session.pane();
    const MainWindowControls &c = m_controls;
    setTextIfChanged(c.studentNumber, pane.numberText);
    setTextIfChanged(c.currentName, pane.currentName);
    setTextIfChanged(c.nextName, pane.nextName);
    setTextIfChanged(c.idNumber, pane.idNumber);
    setTextIfChanged(c.className, pane.className);
    setLines(c.listNumbers, pane.listNumbers);
    setLines(c.listNames, pane.listNames);
    setLines(c.listMarks, pane.listMarks);
    showReviewSlot(pane.newer, c.newerPhoto, c.newerNumber, c.newerName, c.newerVerdict);
    showReviewSlot(pane.older, c.olderPhoto, c.olderNumber, c.olderName, c.olderVerdict);
    c.reviewGroup->setTitle(pane.notice.isEmpty() ? QStringLiteral("核对照片栏")
                                                  : QStringLiteral("核对照片栏：") + pane.notice);
    c.total->setText(pane.total);
    c.photographed->setText(pane.photographed);
    c.remaining->setText(pane.remaining);
    const QString missing = pane.missing.isEmpty()
                                ? QString()
                                : QStringLiteral("未拍 %1 人：").arg(pane.missing.size()) +
                                      pane.missing.join(QStringLiteral("，"));
    setTextIfChanged(c.missing, missing);
    c.missing->setCursorPosition(0);
    c.missing->setToolTip(pane.missing.join(u'\n'));
}

void MainWindow::showCapturedPhoto()
{
    if (m_session.capturedPhoto().isNull()) {
        m_controls.photo->clear();
        return;
    }
    // On a scaled desktop the capture has the screen's own pixels: shown at the frame's size.
    QImage photo = m_session.capturedPhoto();
    photo.setDevicePixelRatio(devicePixelRatioF());
    m_controls.photo->setImage(photo);
}

void MainWindow::toggleSettingsGroup()
{
    QGroupBox *group = m_controls.settingsGroup;
    group->setVisible(group->isHidden());
    if (!group->isHidden())
        group->raise();
    focusPhoto();
}

void MainWindow::focusPhoto()
{
    m_controls.photo->setFocus();
}

} // namespace lumo::ui
