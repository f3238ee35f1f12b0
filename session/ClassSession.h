// The class session: everything the operator does while photographing a class, without any
// window. It owns the class list, the current student, the counters, the settings and the photo
// frame's model; the main window shows what it holds and calls its verbs, and the hot keys call
// the same verbs. Operator boxes go through the Dialogs service, so that tests can answer them.
#pragma once

#include "frame/FrameModel.h"
#include "photo/PhotoSaver.h"
#include "platform/LiveCamera.h"
#include "roster/PhotoMarks.h"
#include "roster/RosterTable.h"
#include "session/ProgramFolders.h"
#include "session/SettingsStore.h"
#include "session/StudentPane.h"
#include "settings/LumoSettings.h"
#include "settings/SessionSettings.h"

#include <QHash>
#include <QImage>
#include <QObject>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <memory>

class QTimer;

namespace lumo::checks {
struct FramingGuide;
}

namespace lumo::platform {
class Dialogs;
class FolderWatch;
class LiveCamera;
class PhotoSource;
class Shell;
class ShutterSound;
class Speech;
} // namespace lumo::platform

namespace lumo::session {

class FramingGuideRunner;

// The desktop services a session uses; the real ones or test doubles.
struct SessionServices
{
    platform::Dialogs &dialogs;
    platform::PhotoSource &photoSource;
    platform::Speech &speech;
    platform::ShutterSound &shutterSound;
    platform::Shell &shell;
    platform::LiveCamera *camera = nullptr;       // Lumo's own camera, where there is one
    platform::FolderWatch *folderWatch = nullptr; // the watched folder
};

// The part of a camera frame under the photo frame, at the camera's own resolution: the photo
// rectangle is in the preview's pixels, and the preview shows the whole frame at its width.
QImage cropCameraFrame(const QImage &frame, const QRect &photoRectangle, QSize previewSize);

// The switches that are not stored: every run starts with them in these states.
struct SessionSwitches
{
    bool oneKeyCapture = true; // Next captures first
    bool oneKeySave = true;    // Next saves first
    bool hotKeysOff = false;   // only F11 works
    bool sizeLocked = false;   // the photo width and the zoom keys are locked

    friend bool operator==(const SessionSwitches &, const SessionSwitches &) = default;
};

class ClassSession : public QObject
{
    Q_OBJECT

public:
    ClassSession(const ProgramFolders &folders, const SessionServices &services);
    ~ClassSession() override;

    // Start-up: loads the settings (writing the defaults when there are none) and sizes the
    // frame from the stored photo size.
    void start();
    // Shut-down: saves the settings and writes the photo marks into the class workbook. Runs once.
    void shutDown();
    bool isShutDown() const { return m_shutDown; }

    // The class list
    void importClass();          // from the workbook the settings name
    void chooseAndImportClass(); // the operator picks the workbook first
    void writeBackMarks();

    // Moving through the class
    void goTo(int index);
    // The number box's text as the operator types it: a number moves the view, anything else
    // waits until it is one.
    void typeStudentNumber(const QString &text);
    void next();
    void previous();
    void skip();
    void repeatName();
    // The class name box, as the operator may type over it before packing.
    void setClassName(const QString &text) { m_pane.className = text; }

    // Photos
    enum class Capture {
        Taken,
        NotTaken,    // told already: no photo size
        Failed,      // the screen could not be copied
        Uniform,     // one colour only: a black grab, a locked screen, a covered camera; told
        Unavailable, // the source has no picture now (no camera, a watched folder); told
    };
    Capture capture(); // copies the frame's inside into the captured photo
    void savePhoto();  // the Save button
    void takePhoto();  // the capture button
    // Home: back to the previous student, capture and save again (replacing that student's
    // photo without asking), and return to the student who was current.
    void retakePrevious();
    void packClass();
    // "班级报告": the contact sheet of the class as a PDF the teacher signs, and the same as CSV
    // beside it, for the school office.
    void writeClassReport();
    // A picture that arrived in the watched folder: saved for the current student, who then
    // makes way for the next.
    void takeArrivedPicture(const QImage &picture);

    // Where photos come from
    const settings::LumoSettings &lumoSettings() const { return m_lumoSettings; }
    void setLumoSettings(const settings::LumoSettings &sources);
    // The cameras the operator can choose from.
    QList<platform::CameraDevice> cameraDevices() const;
    // The operator picks the folder to watch.
    void chooseWatchedFolder();
    // The size of the camera preview the frame is drawn over, in its pixels.
    void setPreviewSize(QSize size) { m_previewSize = size; }

    // Help and folders
    void openHelp();
    void openOutputFolder();

    // The hot keys' frame commands
    void moveFrame(int across, int down);
    void shrinkFrame();
    void enlargeFrame();
    void centreFrameOn(QPoint cursor);
    void toggleHotKeys();

    // Settings and switches, as the operator changes them
    const settings::SessionSettings &settings() const { return m_settings; }
    template <typename Value>
    void setSetting(Value settings::SessionSettings::*field, const Value &value)
    {
        if (m_settings.*field == value)
            return;
        m_settings.*field = value;
        emit settingsChanged();
    }
    void setPhotoWidth(const QString &text);
    void setOuterBorderWidth(const QString &text);
    void setInnerBorderWidth(const QString &text);
    void setMoveStep(const QString &text);
    void setZoomStep(const QString &text);
    const SessionSwitches &switches() const { return m_switches; }
    void setSwitches(const SessionSwitches &switches);

    // What the window shows
    const StudentPane &pane() const { return m_pane; }
    const QImage &capturedPhoto() const { return m_capture; }
    frame::FrameModel &frame() { return m_frame; }
    const roster::RosterTable &roster() const { return m_roster; }
    int studentCount() const { return m_studentCount; }
    int withoutIdCount() const { return m_withoutIdCount; }
    int photographedCount() const { return m_photographedCount; }
    int currentIndex() const { return m_currentIndex; }
    const QString &workbookPath() const { return m_workbookPath; }
    QString settingsFilePath() const { return m_store.filePath(); }

    // True while a command (capture, save, announcement, message box) is under way: the hot
    // keys then wait, so that one press never starts a second command inside the first.
    bool isCommandRunning() const { return m_commandRunning; }

signals:
    void paneChanged();
    void settingsChanged();
    void switchesChanged();
    void capturedPhotoChanged();
    void nextStarted();                        // the window closes its settings group
    void commandFinished();                    // the keyboard focus goes back to the photo
    void manualRequested(const QString &path); // the window shows the operator manual
    void windowWidthChanged(int twips);        // the zoom keys widen or narrow the main window
    void busyChanged(bool busy);               // a long step runs: the window shows a busy cursor
    void clipboardOffered(const QString &text);
    // A long step counts its work: the window shows a progress bar until done reaches total.
    void progressChanged(int done, int total);
    void lumoSettingsChanged();

private:
    void refreshPane();
    photo::RegistryCode registryCode() const;
    // Whether the student's photo has a name: an ID-card number, or the registry's name for a
    // student without one.
    bool hasPhotoName(int row) const;
    // The student's photo in the output or the backup folder; empty when there is none.
    QString photoOfRow(int row) const;
    void advance(const QImage *arrived);
    Capture captureCamera();
    Capture takeCapture(const QImage &picture);
    void takeArrivals();
    photo::SaveResult save(bool askBeforeOverwriting = true);
    PhotoVerdictText checkSavedPhoto(const photo::SaveRequest &request) const;
    // With the voice on, says what the checks found wrong with the photo of that row.
    void speakVerdict(int row);
    void speak(const QString &text);
    void openFolder(const QString &folder);
    void message(const QString &text, const QString &title = QString());
    void warning(const QString &text, const QString &title = QString());
    bool saveMarksBesideWorkbook(const std::vector<roster::PhotoMark> &marks);
    // After an import, the students whose ID-card numbers need fixing, in a window.
    void showPreflightFindings();
    // The live framing guide runs while the photo checks are on and a picture is framed.
    bool wantsFramingGuide() const;
    void updateFramingGuide();
    void lookAtFraming();
    void showFramingGuide(const checks::FramingGuide &guide, QSize pictureSize);

    ProgramFolders m_folders;
    SessionServices m_services;
    SettingsStore m_store;
    settings::SessionSettings m_settings;
    SessionSwitches m_switches;
    frame::FrameModel m_frame;
    roster::RosterTable m_roster;
    int m_studentCount = 0;
    int m_withoutIdCount = 0;
    int m_photographedCount = 0;
    int m_currentIndex = 0;
    QString m_workbookPath;
    StudentPane m_pane;
    QHash<int, PhotoVerdictText> m_verdicts; // by row, for the photos saved in this class
    QImage m_capture;
    settings::LumoSettings m_lumoSettings;
    QSize m_previewSize;
    QList<QImage> m_arrivals;
    photo::PhotoSaver m_photoSaver;
    std::unique_ptr<FramingGuideRunner> m_guideRunner;
    std::unique_ptr<QTimer> m_guideTimer;
    bool m_commandRunning = false;
    bool m_shutDown = false;
};

} // namespace lumo::session
