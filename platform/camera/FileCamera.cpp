#include "platform/camera/FileCamera.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumo::platform {

namespace {
constexpr int kPictureFrameMs = 1000 / 15;
}

FileCamera::FileCamera(const QString &file, QObject *parent)
    : FileCamera(QFile::encodeName(file), file, parent)
{
}

FileCamera::FileCamera(const QByteArray &nativePath, const QString &shownPath, QObject *parent)
    : VideoSinkCamera(parent), m_nativePath(nativePath), m_shownPath(shownPath)
{
    m_player.setVideoOutput(videoSink());
    m_player.setLoops(QMediaPlayer::Infinite);
    const auto cannotPlay = [this](const QString &detail) {
        setProblem(QStringLiteral("无法播放视频文件 %1：%2")
                       .arg(QDir::toNativeSeparators(m_shownPath), detail));
    };
    connect(&m_player, &QMediaPlayer::errorOccurred, this,
            [cannotPlay](QMediaPlayer::Error, const QString &detail) { cannotPlay(detail); });
    connect(&m_player, &QMediaPlayer::mediaStatusChanged, this,
            [this, cannotPlay](QMediaPlayer::MediaStatus status) {
                if (status == QMediaPlayer::InvalidMedia)
                    cannotPlay(m_player.errorString());
                else if (status == QMediaPlayer::LoadedMedia && !m_player.hasVideo())
                    cannotPlay(QStringLiteral("文件里没有画面"));
            });
    m_pictureFrames.setInterval(kPictureFrameMs);
    connect(&m_pictureFrames, &QTimer::timeout, this, [this] { deliver(m_picture); });
}

FileCamera::~FileCamera()
{
    m_player.stop();
}

QList<CameraDevice> FileCamera::devices() const
{
    return {{m_nativePath, QFileInfo(m_shownPath).fileName()}};
}

void FileCamera::start(const QByteArray &, QSize)
{
    stop();
    // Opened by the name's bytes: QFile and QUrl would turn a name that is not UTF-8 into another.
    const int handle = ::open(m_nativePath.constData(), O_RDONLY | O_CLOEXEC);
    struct stat status = {};
    if (handle < 0 || ::fstat(handle, &status) != 0 || !S_ISREG(status.st_mode) ||
        !m_file.open(handle, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (handle >= 0)
            ::close(handle);
        setProblem(QStringLiteral("找不到文件 %1。").arg(QDir::toNativeSeparators(m_shownPath)));
        return;
    }
    QImageReader reader(&m_file);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    if (reader.canRead()) {
        m_picture = reader.read().convertToFormat(QImage::Format_RGB32);
        m_file.close();
        if (m_picture.isNull()) {
            setProblem(QStringLiteral("无法读取图片 %1：%2")
                           .arg(QDir::toNativeSeparators(m_shownPath), reader.errorString()));
            return;
        }
        deliver(m_picture);
        m_pictureFrames.start();
        return;
    }
    m_file.seek(0);
    m_player.setSourceDevice(&m_file, QUrl::fromLocalFile(m_shownPath));
    m_player.play();
}

void FileCamera::stop()
{
    m_pictureFrames.stop();
    m_picture = QImage();
    m_player.stop();
    m_player.setSource(QUrl());
    m_file.close();
    forgetFrames();
    setProblem(QString());
}

} // namespace lumo::platform
