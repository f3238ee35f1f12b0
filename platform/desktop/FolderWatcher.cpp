#include "platform/desktop/FolderWatcher.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLoggingCategory>
#include <QtEndian>

#include <cstring>

namespace lumo::platform {

namespace {

Q_LOGGING_CATEGORY(lcFolder, "lumo.folder")

constexpr int kPollMs = 100;
constexpr int kSettledMs = 200; // unchanged this long: the writer is done with it
constexpr int kGiveUpMs = 3000; // unchanged and not a whole picture this long: it never will be
constexpr qint64 kLargest = 256 << 20; // what Qt decodes at most, by default

bool isRestart(uchar marker)
{
    return marker >= 0xD0 && marker <= 0xD7;
}

// Segment by segment to the end marker; a thumbnail's end marker lies inside its segment.
bool jpegIsWhole(const uchar *bytes, qsizetype size)
{
    qsizetype at = 2;
    while (at < size) {
        const auto next = static_cast<const uchar *>(std::memchr(bytes + at, 0xFF, size - at));
        if (!next)
            return false;
        at = next - bytes;
        while (at < size && bytes[at] == 0xFF)
            ++at;
        if (at >= size)
            return false;
        const uchar marker = bytes[at++];
        if (marker == 0xD9)
            return true;
        if (marker == 0x00 || marker == 0x01 || isRestart(marker))
            continue;
        if (at + 2 > size)
            return false;
        at += (bytes[at] << 8) | bytes[at + 1];
        if (marker != 0xDA)
            continue;
        // The scan's data: a 0xFF in it is followed by 0x00 or a restart marker.
        while (at + 1 < size &&
               !(bytes[at] == 0xFF && bytes[at + 1] != 0x00 && !isRestart(bytes[at + 1]))) {
            const auto ff =
                static_cast<const uchar *>(std::memchr(bytes + at + 1, 0xFF, size - at - 1));
            at = ff ? ff - bytes : size;
        }
    }
    return false;
}

// Chunk by chunk to the end chunk.
bool pngIsWhole(const uchar *bytes, qsizetype size)
{
    for (qsizetype at = 8; at + 8 <= size; at += 12 + qFromBigEndian<quint32>(bytes + at))
        if (std::memcmp(bytes + at + 4, "IEND", 4) == 0)
            return true;
    return false;
}

// Whether the bytes hold the whole of a picture in the format they start as; formats without an
// end to look for count as whole.
bool isWhole(const QByteArray &content)
{
    const auto bytes = reinterpret_cast<const uchar *>(content.constData());
    if (content.startsWith("\xFF\xD8"))
        return jpegIsWhole(bytes, content.size());
    if (content.startsWith("\x89PNG\r\n\x1A\n"))
        return pngIsWhole(bytes, content.size());
    if (content.startsWith("BM") && content.size() >= 6)
        return content.size() >= qFromLittleEndian<quint32>(bytes + 2);
    return true;
}

} // namespace

FolderWatcher::FolderWatcher(QObject *parent)
{
    setParent(parent);
    m_reader.setMaxThreadCount(1);
    m_poll.setInterval(kPollMs);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &FolderWatcher::look);
    connect(&m_poll, &QTimer::timeout, this, &FolderWatcher::poll);
}

FolderWatcher::~FolderWatcher()
{
    m_reader.clear();
    m_reader.waitForDone();
}

void FolderWatcher::watch(const QString &folder)
{
    ++m_generation;
    if (!m_watcher.directories().isEmpty())
        m_watcher.removePaths(m_watcher.directories());
    m_poll.stop();
    m_waiting.clear();
    m_skipped.clear();
    m_reading.clear();
    m_folder = folder;
    const QStringList names = pictureNames();
    m_done = QSet<QString>(names.begin(), names.end());
    if (!folder.isEmpty() && !m_watcher.addPath(folder))
        qCWarning(lcFolder).noquote() << "cannot watch" << folder;
}

QStringList FolderWatcher::pictureNames() const
{
    if (m_folder.isEmpty())
        return {};
    // Without QDir::Hidden: the files a program writes under a name starting with "." first.
    return QDir(m_folder).entryList({"*.jpg", "*.jpeg", "*.png", "*.bmp"}, QDir::Files);
}

FolderWatcher::Version FolderWatcher::versionOf(const QString &name) const
{
    const QFileInfo file(QDir(m_folder).filePath(name));
    if (!file.exists())
        return {};
    return {file.size(), file.lastModified()};
}

void FolderWatcher::look()
{
    const QStringList names = pictureNames();
    const QSet<QString> present(names.begin(), names.end());
    // A name that comes again after its file was removed is a new picture.
    m_done.intersect(present);
    m_skipped.removeIf([&](const auto &skipped) { return !present.contains(skipped.key()); });
    for (const QString &name : names) {
        if (m_done.contains(name) || m_waiting.contains(name) || m_reading.contains(name))
            continue;
        const Version version = versionOf(name);
        if (m_skipped.value(name) == version)
            continue;
        m_skipped.remove(name);
        m_waiting[name].version = version;
        m_waiting[name].unchanged.start();
    }
    if (!m_waiting.isEmpty())
        m_poll.start();
}

void FolderWatcher::poll()
{
    for (auto waiting = m_waiting.begin(); waiting != m_waiting.end();) {
        const QString name = waiting.key();
        const Version version = versionOf(name);
        if (version.size < 0) {
            waiting = m_waiting.erase(waiting);
        } else if (version != waiting->version) {
            *waiting = {version, {}, false};
            waiting->unchanged.start();
            ++waiting;
        } else if (!waiting->readFailed && waiting->unchanged.elapsed() >= kSettledMs &&
                   version.size <= kLargest) {
            waiting = m_waiting.erase(waiting);
            read(name, version);
        } else if (waiting->unchanged.elapsed() >= kGiveUpMs) {
            qCWarning(lcFolder).noquote()
                << "skipped" << QDir(m_folder).filePath(name) << ": not a picture that can be read";
            m_skipped.insert(name, version);
            waiting = m_waiting.erase(waiting);
        } else {
            ++waiting;
        }
    }
    if (m_waiting.isEmpty())
        m_poll.stop();
}

void FolderWatcher::read(const QString &name, const Version &version)
{
    m_reading.insert(name);
    const QString path = QDir(m_folder).filePath(name);
    const quint64 generation = m_generation;
    m_reader.start([this, name, version, path, generation] {
        QImage picture;
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            QByteArray content = file.readAll();
            if (isWhole(content)) {
                QBuffer buffer(&content);
                QImageReader reader(&buffer);
                reader.setAutoTransform(true); // a camera held upright says so in its EXIF data
                picture = reader.read();
            }
        }
        QMetaObject::invokeMethod(
            this,
            [this, name, version, picture, generation] {
                if (generation == m_generation)
                    wasRead(name, version, picture);
            },
            Qt::QueuedConnection);
    });
}

void FolderWatcher::wasRead(const QString &name, const Version &version, const QImage &picture)
{
    m_reading.remove(name);
    if (!picture.isNull()) {
        m_done.insert(name);
        emit pictureArrived(picture, QDir(m_folder).filePath(name));
        return;
    }
    Waiting &waiting = m_waiting[name];
    waiting = {version, {}, true};
    waiting.unchanged.start();
    m_poll.start();
}

} // namespace lumo::platform
