#include "session/ClassSession.h"

#include "session/CommandScope.h"
#include "session/FramingGuideRunner.h"
#include "session/PictureConversion.h"

#include "checks/PhotoChecks.h"
#include "common/AtomicFile.h"
#include "common/IdCardNumber.h"
#include "common/NumberText.h"
#include "common/PlainFileName.h"
#include "common/Twips.h"
#include "frame/FrameRules.h"
#include "packaging/ClassArchive.h"
#include "photo/RegistryPhoto.h"
#include "photo/Resampler.h"
#include "platform/Dialogs.h"
#include "platform/LiveCamera.h"
#include "platform/PhotoSource.h"
#include "platform/Shell.h"
#include "platform/ShutterSound.h"
#include "platform/Speech.h"
#include "roster/PhotoMarks.h"
#include "roster/RosterImport.h"
#include "roster/RosterWriteBack.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QThread>
#include <QTimer>

Q_LOGGING_CATEGORY(lcSession, "lumo.session")

namespace lumo::session {

namespace {

const QString kCaptureFailed = QStringLiteral("拍照失败：屏幕图像无法复制。");
const QString kOverwriteQuestion = QStringLiteral("该学生照片已经存在,\r\n是否覆盖原照片?？");
const QString kOverwriteTitle = QStringLiteral("照片已存在");

} // namespace

ClassSession::ClassSession(const ProgramFolders &folders, const SessionServices &services)
    : m_folders(folders), m_services(services), m_store(folders)
{
}

ClassSession::~ClassSession() = default;

// ---------------------------------------------------------------------------------------------
// Start-up and shut-down

void ClassSession::start()
{
    QString problem;
    settings::SessionSettings loaded = m_store.load(&problem);
    // Each stored text passes its box's rule, as typing it would.
    loaded.photoWidth = frame::checkedText(frame::kPhotoWidthRule, loaded.photoWidth);
    loaded.outerBorderWidth = frame::checkedText(frame::kOuterBorderRule, loaded.outerBorderWidth);
    loaded.innerBorderWidth = frame::checkedText(frame::kInnerBorderRule, loaded.innerBorderWidth);
    loaded.moveStep = frame::checkedText(frame::kMoveStepRule, loaded.moveStep);
    loaded.zoomStep = frame::checkedText(frame::kZoomStepRule, loaded.zoomStep);
    m_settings = loaded;
    m_currentIndex = m_settings.currentIndex;
    m_photographedCount = 0;

    // The stored pair is taken as it is, without the height rule.
    m_frame.setPhotoSize(frame::storedPhotoSize(m_settings.photoWidth, m_settings.photoHeight));
    m_frame.setPenWidths(frame::penWidth(m_settings.outerBorderWidth),
                         frame::penWidth(m_settings.innerBorderWidth));
    emit settingsChanged();
    setLumoSettings(m_store.loadLumoSettings());
    if (!problem.isEmpty())
        warning(problem);
}

void ClassSession::shutDown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    updateFramingGuide();
    m_settings.frameWidthTwips = QString::number(m_frame.widthTwips());
    m_settings.frameHeightTwips = QString::number(m_frame.heightTwips());
    m_settings.currentIndex = qint16(m_currentIndex);
    QString problem;
    if (!m_store.save(m_settings, &problem) || !m_store.saveLumoSettings(m_lumoSettings, &problem))
        warning(problem);
    if (m_services.camera)
        m_services.camera->stop();
    writeBackMarks();
}

// ---------------------------------------------------------------------------------------------
// Moving through the class

void ClassSession::goTo(int index)
{
    // Writing the number the box already shows refreshes the view again.
    typeStudentNumber(QString::number(index));
}

void ClassSession::typeStudentNumber(const QString &text)
{
    m_pane.numberText = text;
    const common::Int16Conversion index = common::toInt16(text);
    if (index.error == common::ConversionError::NotANumber)
        return;
    // The view reads two rows past the current one: numbers beyond the table are brought back.
    const bool beyondTable = index.error == common::ConversionError::Overflow
                                 ? common::parseNumber(text).value_or(0) > 0
                                 : index.value > kHighestViewableIndex;
    if (beyondTable) {
        typeStudentNumber(QString::number(kHighestViewableIndex));
        return;
    }
    m_currentIndex = index.ok() ? qMax<int>(index.value, 0) : 0;
    refreshPane();
}

void ClassSession::refreshPane()
{
    const int current = m_currentIndex;
    m_pane.notice.clear();
    m_pane.idNumber = m_roster.idNumber(current);
    m_pane.showStudent(m_roster, current);
    if (current > 1)
        m_pane.newer.verdict = m_verdicts.value(current - 1);
    if (current > 2)
        m_pane.older.verdict = m_verdicts.value(current - 2);

    if (current > 2 && hasPhotoName(current - 2))
        m_pane.older.showPhoto(photoOfRow(current - 2));
    if (current >= 2 && hasPhotoName(current - 1)) {
        const QString photo = photoOfRow(current - 1);
        m_pane.newer.showPhoto(photo);
        if (!photo.isEmpty()) {
            // The previous student's photo exists: marked, and counted at once.
            m_roster.setCell(current - 1, roster::RosterTable::kPhotoMark, roster::kPhotoTakenMark);
            m_photographedCount = countPhotographed(m_roster);
        }
    }
    m_pane.showCounters(m_studentCount, m_photographedCount);
    m_pane.showMissing(m_roster, current, m_studentCount);
    m_pane.className = m_roster.className(current);
    emit paneChanged();
}

photo::RegistryCode ClassSession::registryCode() const
{
    return {m_lumoSettings.schoolCode, m_lumoSettings.classNumber};
}

bool ClassSession::hasPhotoName(int row) const
{
    return common::canNamePhoto(m_roster.idNumber(row)) ||
           !photo::withoutIdKey(registryCode(), m_roster.name(row)).isEmpty();
}

QString ClassSession::photoOfRow(int row) const
{
    const QString &idNumber = m_roster.idNumber(row);
    if (common::canNamePhoto(idNumber))
        return findStudentPhoto(m_settings.outputFolder, m_settings.backupFolder, idNumber);
    const QString key = photo::withoutIdKey(registryCode(), m_roster.name(row));
    if (key.isEmpty() || !common::isPlainFileName(key))
        return QString();
    const photo::PhotoNames names =
        photo::withoutIdPhotoNames(m_settings.outputFolder, m_settings.backupFolder, key);
    for (const QString &path : {names.photoPath, names.backupPath}) {
        if (QFileInfo::exists(path))
            return path;
    }
    return QString();
}

void ClassSession::next()
{
    advance(nullptr);
}

void ClassSession::advance(const QImage *arrived)
{
    const CommandScope scope(m_commandRunning);
    if (scope.nested())
        return;

    emit nextStarted();
    m_capture = QImage();
    emit capturedPhotoChanged();
    // A step that fails is skipped and the class moves on, but the operator is told, so that
    // the student can be photographed again.
    QStringList failures;
    const Capture captured = arrived                    ? takeCapture(*arrived)
                             : m_switches.oneKeyCapture ? capture()
                                                        : Capture::Taken;
    if (captured == Capture::Uniform || captured == Capture::Unavailable) {
        emit commandFinished(); // the student is photographed again, not skipped
        return;
    }
    if (captured == Capture::Failed)
        failures << kCaptureFailed;
    // A picture that arrived in the watched folder is saved whatever the one-key switches say:
    // putting it there was the operator's intent.
    const int photographed = m_currentIndex;
    bool saved = false;
    if (m_switches.oneKeySave || arrived) {
        const photo::SaveResult result = save();
        saved = result.status == photo::SaveStatus::Saved;
        if (result.status == photo::SaveStatus::Failed && !result.messages.isEmpty())
            failures << result.messages.last();
    }

    const int endOfClass = m_studentCount + 1;
    if (m_currentIndex + 1 <= endOfClass)
        ++m_currentIndex;
    goTo(m_currentIndex);
    if (!failures.isEmpty())
        warning(failures.join(u'\n'));

    // A photo the checks turned down is told before the next students are called, while the
    // student is still at the camera.
    if (saved)
        speakVerdict(photographed);
    if (m_settings.voiceOff != 1 && m_switches.oneKeySave) {
        if (m_currentIndex != endOfClass) {
            speak(m_settings.promptBeforeName + m_pane.currentName + m_settings.promptBetweenNames +
                  m_pane.nextName + m_settings.promptAfterNextName);
        } else {
            speak(QStringLiteral("已是最后一位,照相结束!"));
            m_switches.oneKeySave = false;
            m_switches.oneKeyCapture = false;
            emit switchesChanged();
        }
    }
    emit commandFinished();
}

void ClassSession::previous()
{
    const CommandScope scope(m_commandRunning);
    if (scope.nested())
        return;

    if (m_switches.oneKeySave) {
        message(QStringLiteral("现在是浏览模式,不再自动拍照,自动保存!"));
        m_switches.oneKeySave = false;
        m_switches.oneKeyCapture = false;
        emit switchesChanged();
    }
    if (m_currentIndex > 1)
        --m_currentIndex;
    goTo(m_currentIndex);
    emit commandFinished();
}

void ClassSession::skip()
{
    const CommandScope scope(m_commandRunning);
    if (scope.nested())
        return;

    // Past the class the view can still show every row up to the table's end.
    if (m_currentIndex < kHighestViewableIndex)
        ++m_currentIndex;
    goTo(m_currentIndex);
    emit commandFinished();
}

void ClassSession::repeatName()
{
    const CommandScope scope(m_commandRunning);
    speak(m_roster.name(m_currentIndex));
}

void ClassSession::speakVerdict(int row)
{
    const PhotoVerdictText verdict = m_verdicts.value(row);
    if (m_settings.voiceOff != 1 && verdict.retake)
        speak(verdict.text);
}

void ClassSession::speak(const QString &text)
{
    if (m_services.speech.isAvailable())
        m_services.speech.speak(text);
}

// ---------------------------------------------------------------------------------------------
// Photos

void ClassSession::takePhoto()
{
    const CommandScope scope(m_commandRunning);
    if (scope.nested())
        return;
    if (capture() == Capture::Failed)
        warning(kCaptureFailed);
    emit commandFinished();
}

void ClassSession::retakePrevious()
{
    const CommandScope scope(m_commandRunning);
    if (scope.nested())
        return;
    const int current = m_currentIndex;
    const int retaken = current - 1;
    if (retaken < 1 || m_roster.name(retaken).isEmpty()) {
        warning(QStringLiteral("没有可以重拍的上一位学生。"));
        return;
    }
    m_capture = QImage();
    emit capturedPhotoChanged();
    const Capture captured = capture();
    if (captured != Capture::Taken) {
        if (captured == Capture::Failed)
            warning(kCaptureFailed);
        return;
    }
    m_currentIndex = retaken;
    const photo::SaveResult result = save(false);
    m_currentIndex = current;
    if (result.status == photo::SaveStatus::Failed && !result.messages.isEmpty())
        warning(result.messages.last());
    goTo(current);
    if (result.status != photo::SaveStatus::Saved)
        return;
    m_pane.notice = QStringLiteral("已重拍 %1 号 %2").arg(retaken).arg(m_roster.name(retaken));
    emit paneChanged();
    if (m_settings.voiceOff != 1)
        speak(m_roster.name(retaken) + QStringLiteral("，照片已重拍"));
    speakVerdict(retaken);
    emit commandFinished();
}

photo::SaveResult ClassSession::save(bool askBeforeOverwriting)
{
    setSetting(&settings::SessionSettings::outputFolder,
               photo::withoutTrailingSeparator(m_settings.outputFolder));

    photo::SaveRequest request;
    request.outputFolder = m_settings.outputFolder;
    request.backupFolder = m_settings.backupFolder;
    request.name = m_roster.name(m_currentIndex);
    request.idNumber = m_roster.idNumber(m_currentIndex);
    request.adjustDpi = m_settings.adjustDpi == 1;
    request.backup = m_settings.backup == 1;
    request.compress = m_settings.compress == 1;
    request.bestQuality = m_lumoSettings.bestQuality;
    request.registryCode = registryCode();
    request.picture = toBgrImage(m_capture);

    photo::SaveResult result = m_photoSaver.save(request, [this, askBeforeOverwriting] {
        return !askBeforeOverwriting ||
               m_services.dialogs.question(kOverwriteQuestion, kOverwriteTitle);
    });
    if (result.status == photo::SaveStatus::Saved) {
        if (m_lumoSettings.checkPhotos)
            m_verdicts.insert(m_currentIndex, checkSavedPhoto(request));
        else
            m_verdicts.remove(m_currentIndex);
    }
    // Notes and refusals are told at once; a failure is told by the caller, which may go on.
    QStringList shownNow = result.messages;
    if (result.status == photo::SaveStatus::Failed && !shownNow.isEmpty())
        shownNow.removeLast();
    for (const QString &text : shownNow)
        warning(text);
    return result;
}

PhotoVerdictText ClassSession::checkSavedPhoto(const photo::SaveRequest &request) const
{
    // The photo as the registry gets it: the DPI step's size when that step is on.
    const bool resampled = request.adjustDpi && photo::canResample(request.picture);
    const checks::PhotoVerdict verdict = checks::checkPhoto(
        resampled ? photo::resample(request.picture, photo::kPhotoWidth, photo::kPhotoHeight)
                  : request.picture);
    if (!verdict.error.isEmpty())
        qCWarning(lcSession).noquote() << "photo check:" << verdict.error;
    return {checks::operatorText(verdict), verdict.isOk(), !verdict.codes.isEmpty()};
}

void ClassSession::savePhoto()
{
    const CommandScope scope(m_commandRunning);
    if (scope.nested())
        return;
    const photo::SaveResult result = save();
    if (result.status == photo::SaveStatus::Failed && !result.messages.isEmpty())
        warning(result.messages.last());
    emit commandFinished();
}

void ClassSession::packClass()
{
    const CommandScope scope(m_commandRunning);
    if (scope.nested())
        return;

    emit clipboardOffered(m_pane.className);
    const std::optional<QString> answer = m_services.dialogs.askText(
        QStringLiteral("请输入压缩包文件名,班级名称己复制到剪贴板,直接粘贴即可!"),
        QStringLiteral("压缩包文件名设置"), QString());
    // Spaces around a pasted name are not part of it; a name of spaces is no name.
    const QString name = answer ? answer->trimmed() : QString();
    const QString folder = m_settings.outputFolder;
    if (name.isEmpty()) {
        warning(QStringLiteral("操作被取消或未输入文件名!"), QStringLiteral("警告"));
    } else if (!QFileInfo(folder).isDir()) {
        warning(QStringLiteral("ZIP文件必须同图片文件在同一目录,请修改设置"));
    } else {
        emit busyChanged(true);
        const packaging::PackResult result = packaging::packClassArchive(folder, name);
        emit busyChanged(false);
        if (result.status != packaging::PackStatus::Packed) {
            warning(result.problem);
        } else {
            openFolder(folder);
            QStringList kept = result.photosKept;
            for (const QString &changed : result.photosChanged)
                kept.removeAll(changed);
            if (!kept.isEmpty())
                warning(QStringLiteral("以下照片已放进压缩包，但无法从文件夹中删除：\n%1")
                            .arg(kept.join(u'\n')));
            if (!result.photosChanged.isEmpty())
                warning(QStringLiteral("以下照片在打包时被改动，已留在文件夹中，请重新打包：\n%1")
                            .arg(result.photosChanged.join(u'\n')));
            if (packaging::exceedsSizeLimit(result.archiveBytes))
                warning(QStringLiteral("zip文件超过5M，请手动解压后，处理！"));
        }
    }
    emit commandFinished();
}

// ---------------------------------------------------------------------------------------------
// Help and folders

void ClassSession::openHelp()
{
    // Shown inside Lumo, so that it opens also where no browser is installed.
    const QString manual = m_folders.dataFilePath(QStringLiteral("help.html"));
    if (!QFileInfo::exists(manual))
        warning(QStringLiteral("找不到操作说明文件 %1。").arg(QDir::toNativeSeparators(manual)));
    else
        emit manualRequested(manual);
    emit commandFinished();
}

void ClassSession::openOutputFolder()
{
    openFolder(m_settings.outputFolder);
}

void ClassSession::openFolder(const QString &folder)
{
    if (!QFileInfo(folder).isDir())
        warning(QStringLiteral("文件夹 %1 不存在。").arg(QDir::toNativeSeparators(folder)));
    else if (!m_services.shell.openFolder(folder))
        warning(QStringLiteral("无法打开文件夹 %1：没有找到文件管理器。")
                    .arg(QDir::toNativeSeparators(folder)));
}

void ClassSession::message(const QString &text, const QString &title)
{
    m_services.dialogs.message(text, title, platform::MessageKind::Information);
}

void ClassSession::warning(const QString &text, const QString &title)
{
    m_services.dialogs.message(text, title, platform::MessageKind::Warning);
}

// ---------------------------------------------------------------------------------------------
// The frame

void ClassSession::moveFrame(int across, int down)
{
    // A move box without a number moves nothing.
    if (const std::optional<double> step = frame::moveStepTwips(m_settings.moveStep))
        m_frame.moveBySteps(across, down, *step);
}

void ClassSession::shrinkFrame()
{
    if (m_switches.sizeLocked)
        return;
    if (const std::optional<int> width =
            frame::zoomedWidth(m_settings.photoWidth, -frame::kZoomStep)) {
        setPhotoWidth(QString::number(*width));
        m_frame.shiftAfterZoom(-frame::kZoomStep);
        emit windowWidthChanged(common::pixelsToTwips(-frame::kZoomStep));
    }
}

void ClassSession::enlargeFrame()
{
    if (m_switches.sizeLocked)
        return;
    if (const std::optional<int> width =
            frame::zoomedWidth(m_settings.photoWidth, frame::kZoomStep)) {
        setPhotoWidth(QString::number(*width));
        m_frame.shiftAfterZoom(frame::kZoomStep);
        emit windowWidthChanged(common::pixelsToTwips(frame::kZoomStep));
    }
}

void ClassSession::centreFrameOn(QPoint cursor)
{
    m_frame.centreOn(cursor);
}

void ClassSession::toggleHotKeys()
{
    const CommandScope scope(m_commandRunning);
    m_switches.hotKeysOff = !m_switches.hotKeysOff;
    emit switchesChanged();
    message(m_switches.hotKeysOff ? QStringLiteral("热键己关闭,恢复再次按F11")
                                  : QStringLiteral("热键打开"),
            QStringLiteral("关闭热键"));
    QThread::msleep(300);
}

// ---------------------------------------------------------------------------------------------
// Settings

void ClassSession::setPhotoWidth(const QString &text)
{
    m_settings.photoWidth = frame::checkedText(frame::kPhotoWidthRule, text);
    if (const std::optional<frame::PhotoSize> photo =
            frame::photoSizeForWidthText(m_settings.photoWidth)) {
        m_settings.photoHeight = QString::number(photo->height);
        m_frame.setPhotoSize(*photo);
    }
    emit settingsChanged();
}

void ClassSession::setOuterBorderWidth(const QString &text)
{
    m_settings.outerBorderWidth = frame::checkedText(frame::kOuterBorderRule, text);
    m_frame.setPenWidths(frame::penWidth(m_settings.outerBorderWidth),
                         frame::penWidth(m_settings.innerBorderWidth));
    emit settingsChanged();
}

void ClassSession::setInnerBorderWidth(const QString &text)
{
    m_settings.innerBorderWidth = frame::checkedText(frame::kInnerBorderRule, text);
    m_frame.setPenWidths(frame::penWidth(m_settings.outerBorderWidth),
                         frame::penWidth(m_settings.innerBorderWidth));
    emit settingsChanged();
}

void ClassSession::setMoveStep(const QString &text)
{
    m_settings.moveStep = frame::checkedText(frame::kMoveStepRule, text);
    emit settingsChanged();
}

void ClassSession::setZoomStep(const QString &text)
{
    m_settings.zoomStep = frame::checkedText(frame::kZoomStepRule, text);
    emit settingsChanged();
}

void ClassSession::setSwitches(const SessionSwitches &switches)
{
    if (switches == m_switches)
        return;
    m_switches = switches;
    emit switchesChanged();
}

} // namespace lumo::session
