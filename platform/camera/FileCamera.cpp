#include "platform/camera/FileCamera.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace lumo::platform {

namespace {
constexpr int kPictureFrameMs = 1000 / 15;
}

FileCamera::FileCamera(const QString &file, QObject *parent) : VideoSinkCamera(parent), m_file(file)
{
    m_player.setVideoOutput(videoSink());
    m_player.setLoops(QMediaPlayer::Infinite);
    const auto cannotPlay = [this](const QString &detail) {
        setProblem(QStringLiteral("无法播放视频文件 %1：%2")
                       .arg(QDir::toNativeSeparators(m_file), detail));
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
    return {{QFile::encodeName(m_file), QFileInfo(m_file).fileName()}};
}

void FileCamera::start(const QByteArray &, QSize)
{
    stop();
    if (!QFileInfo(m_file).isFile()) {
        setProblem(QStringLiteral("找不到文件 %1。").arg(QDir::toNativeSeparators(m_file)));
        return;
    }
    QImageReader reader(m_file);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    if (reader.canRead()) {
        m_picture = reader.read().convertToFormat(QImage::Format_RGB32);
        if (m_picture.isNull()) {
            setProblem(QStringLiteral("无法读取图片 %1：%2")
                           .arg(QDir::toNativeSeparators(m_file), reader.errorString()));
            return;
        }
        deliver(m_picture);
        m_pictureFrames.start();
        return;
    }
    m_player.setSource(QUrl::fromLocalFile(QFileInfo(m_file).absoluteFilePath()));
    m_player.play();
}

void FileCamera::stop()
{
    m_pictureFrames.stop();
    m_picture = QImage();
    m_player.stop();
    m_player.setSource(QUrl());
    forgetFrames();
    setProblem(QString());
}

} // namespace lumo::platform
