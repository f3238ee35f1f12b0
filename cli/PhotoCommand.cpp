#include "cli/PhotoCommand.h"

#include "cli/CommandLine.h"
#include "cli/CommandProgram.h"
#include "cli/Messages.h"
#include "cli/PhotoCommandHelpers.h"
#include "cli/PhotoPaths.h"
#include "cli/UsageTexts.h"

#include "common/AtomicFile.h"
#include "common/NativePath.h"
#include "photo/BitmapCodec.h"
#include "photo/JpegCodec.h"
#include "photo/PictureFile.h"
#include "photo/RegistryPhoto.h"
#include "photo/Resampler.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonObject>

#include <malloc.h>

#include <algorithm>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <functional>
#include <mutex>
#include <new>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

using namespace lumo::photo;
using namespace lumo::cli;

QString lumo::cli::shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

void lumo::cli::printFailure(const QString &path, const QString &reason)
{
    printLine(stderr, shown(path) + QLatin1String(": ") + reason);
}

namespace {

QString notAPicture(const QString &path, const QString &reason)
{
    return text(msg::kNotAPicture).arg(shown(path), reason);
}

QString describe(const PictureInfo &info)
{
    return QStringLiteral("%1, %2 x %3 px, %4 dpi, %5 bytes")
        .arg(QString::fromLatin1(formatName(info.format)))
        .arg(info.width)
        .arg(info.height)
        .arg(info.dpiX == info.dpiY ? QString::number(info.dpiX)
                                    : QStringLiteral("%1 x %2").arg(info.dpiX).arg(info.dpiY))
        .arg(info.bytes);
}

// What converting one file in memory gave: the photo to write (none when no step changed the
// file), the line that says what it is, and the lines for the error stream, which make it fail.
struct Conversion
{
    QByteArray photo;
    QString line;
    QStringList errors;
};

// Memory that conversions side by side hold together: what one conversion may hold alone.
constexpr qint64 kConversionBudget = kMaxDecodingBytes + kMaxEncodedBytes;

// From this size on, buffers are mappings of their own (lumo-cli's malloc settings).
constexpr qint64 kLargeReservation = qint64(32) << 20;

// Called by a conversion before it takes memory: with the file's length before reading it, then
// with what the steps hold beside the file's bytes. Returns once the memory may be taken.
using ReserveMemory = std::function<void(qint64)>;

// One file through the steps, in memory: read once, never touched.
Conversion convertSteps(const QString &file, bool dpiStep, bool sizeStep, Quality quality,
                        const ReserveMemory &reserve)
{
    Conversion result;
    const auto failed = [&](const QString &reason) {
        result.errors << QStringLiteral("%1: %2").arg(shown(file), reason);
        return result;
    };
    QByteArray input;
    QString reason;
    const qint64 expectedBytes = QFileInfo(file).size();
    reserve(expectedBytes);
    if (!readFileBytes(file, &input, &reason))
        return failed(reason);
    PictureInfo header;
    inspectPicture(input, &header, &reason);
    // The size step alone re-encodes the whole picture, pass after pass: each pass holds the
    // photo so far (the file, then a JPEG of up to kMaxEncodedBytes) and the new JPEG.
    const qint64 sizeStepBytes = header.decodingBytes + kMaxEncodedBytes +
                                 std::max<qint64>(kMaxEncodedBytes - input.size(), 0);
    reserve(input.size() - expectedBytes +
            (dpiStep    ? header.decodingBytes
             : sizeStep ? sizeStepBytes
                        : 0));
    RegistryPhoto photo;
    if (dpiStep) {
        const BgrImage picture = decodePicture(std::exchange(input, {}), &reason);
        if (picture.isEmpty())
            return failed(notAPicture(file, reason));
        if (!canResample(picture)) {
            result.errors << text(msg::kTooWideToResample).arg(shown(file));
            return result;
        }
        photo = makeRegistryPhoto(picture, true, sizeStep, quality);
    } else if (sizeStep) {
        photo = compressRegistryPhoto(std::move(input));
    } else {
        photo.bytes = input;
    }
    if (!photo.isMade())
        return failed(photo.messages.join(u' '));
    PictureInfo info;
    if (!inspectPicture(photo.bytes, &info, &reason))
        return failed(notAPicture(file, reason));
    if (dpiStep || photo.sizeStepPasses > 0)
        result.photo = photo.bytes;
    result.line = QStringLiteral("%1: %2").arg(shown(file), describe(info));
    return result;
}

// convertSteps on any thread: a picture too large for the memory fails alone.
Conversion convertInMemory(
    const QString &file, bool dpiStep, bool sizeStep, Quality quality,
    const ReserveMemory &reserve = [](qint64) {})
{
    try {
        return convertSteps(file, dpiStep, sizeStep, quality, reserve);
    } catch (const std::bad_alloc &) {
        Conversion failed;
        failed.errors << text(msg::kNotEnoughMemory).arg(shown(file));
        return failed;
    }
}

// Writes what the conversion made and says so; false when the file failed.
bool finishConversion(const QString &file, const Conversion &conversion)
{
    QString reason;
    QStringList errors = conversion.errors;
    if (errors.isEmpty() && !conversion.photo.isEmpty() &&
        !lumo::common::writeFileAtomically(file, conversion.photo, &reason))
        errors << QStringLiteral("%1: %2").arg(shown(file), writeFailureText(reason));
    for (const QString &error : errors)
        printLine(stderr, error);
    if (!errors.isEmpty())
        return false;
    printLine(stdout, conversion.line);
    return true;
}

// Converts files on worker threads, a few ahead of the thread that writes them, so that the
// processor works while a written photo is flushed to the disk. A file named again is read only
// after its earlier conversion was written, as if the files went one after another. The memory
// a conversion reserves stays reserved until its photo is written; reservations are granted in
// the files' order, so that the next file to write always gets its memory once the files before
// it are written.
class ConversionsAhead
{
public:
    ConversionsAhead(const QStringList &files, bool dpiStep, bool sizeStep, Quality quality)
        : m_files(files), m_dpiStep(dpiStep), m_sizeStep(sizeStep), m_quality(quality),
          m_results(std::size_t(files.size())), m_earlierSame(std::size_t(files.size()), -1),
          m_reservedFor(std::size_t(files.size()), 0)
    {
        QHash<QString, qsizetype> lastSeen;
        for (qsizetype i = 0; i < files.size(); ++i) {
            const QFileInfo info(files[i]);
            const QString key = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
            m_earlierSame[std::size_t(i)] = lastSeen.value(key, -1);
            lastSeen.insert(key, i);
        }
        const unsigned workers = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
        for (unsigned n = 0; n < workers && n < unsigned(files.size()); ++n)
            m_workers.emplace_back([this] { work(); });
    }
    ~ConversionsAhead()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_changed.notify_all();
        for (std::thread &worker : m_workers)
            worker.join();
    }

    // The conversion of file i, once it is made; the files are taken in order.
    Conversion take(qsizetype i)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_results[std::size_t(i)].has_value(); });
        return *std::exchange(m_results[std::size_t(i)], std::nullopt);
    }

    // File i is written: the conversions may go further.
    void written(qsizetype i)
    {
        {
            const std::lock_guard lock(m_mutex);
            m_written = i + 1;
            m_reserved -= std::exchange(m_reservedFor[std::size_t(i)], 0);
        }
        m_changed.notify_all();
    }

private:
    static constexpr qsizetype kMostAhead = 4;

    void work()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_changed.wait(lock, [&] { return m_stopping || canStart(); });
            if (m_stopping || m_next == m_files.size())
                return;
            const qsizetype i = m_next++;
            lock.unlock();
            int reservations = 0;
            Conversion conversion =
                convertInMemory(m_files[i], m_dpiStep, m_sizeStep, m_quality,
                                [&](qint64 bytes) { reserve(i, bytes, ++reservations == 2); });
            lock.lock();
            if (m_turn == i)
                ++m_turn;
            m_results[std::size_t(i)] = std::move(conversion);
            m_changed.notify_all();
        }
    }
    // Waits for file i's turn and for the memory, which the files before it give back when they
    // are written; alone, a conversion takes what it needs.
    void reserve(qsizetype i, qint64 bytes, bool last)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] {
            return m_turn == i && (m_reserved + bytes <= kConversionBudget ||
                                   m_reserved == m_reservedFor[std::size_t(i)]);
        });
        m_reserved += bytes;
        m_reservedFor[std::size_t(i)] += bytes;
        if (last)
            ++m_turn;
        m_changed.notify_all();
        lock.unlock();
        // The heap keeps what earlier conversions freed, for pictures of the same size; a large
        // conversion would take its memory on top of that.
        if (bytes >= kLargeReservation)
            malloc_trim(0);
    }
    bool canStart() const
    {
        return m_next == m_files.size() ||
               (m_next < m_written + kMostAhead && m_earlierSame[std::size_t(m_next)] < m_written);
    }

    const QStringList m_files;
    const bool m_dpiStep;
    const bool m_sizeStep;
    const Quality m_quality;
    std::vector<std::optional<Conversion>> m_results;
    std::vector<qsizetype> m_earlierSame; // index of the same file named before, or -1
    std::vector<qint64> m_reservedFor;    // memory each conversion holds until it is written
    qint64 m_reserved = 0;
    qsizetype m_turn = 0; // the conversion whose reservations are granted next
    std::mutex m_mutex;
    std::condition_variable m_changed;
    qsizetype m_next = 0;
    qsizetype m_written = 0;
    bool m_stopping = false;
    std::vector<std::thread> m_workers;
};

int convert(const QStringList &arguments)
{
    CommandLine line(QStringLiteral("lumo-cli photo convert"), usage::kConvert);
    const QCommandLineOption noDpi(QStringLiteral("no-dpi")),
        noCompress(QStringLiteral("no-compress")), best(QStringLiteral("best"));
    line.parser.addOptions({noDpi, noCompress, best});
    if (const auto done = line.parse(arguments))
        return *done;
    const bool dpiStep = !line.parser.isSet(noDpi);
    const bool sizeStep = !line.parser.isSet(noCompress);
    const Quality quality = line.parser.isSet(best) ? Quality::Best : Quality::Registry;
    const QStringList files = line.positional();
    if (files.isEmpty())
        return line.usageError(text(msg::kNoFile));
    for (const QString &file : files) {
        if (lumo::common::pathKind(file) == lumo::common::PathKind::Missing)
            return line.usageError(text(msg::kDoesNotExist).arg(shown(file)));
    }
    // A file-size limit makes the write fail and be reported instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);

    int status = kSuccess;
    if (files.size() == 1)
        return finishConversion(files[0], convertInMemory(files[0], dpiStep, sizeStep, quality))
                   ? kSuccess
                   : kNegative;
    // One heap for all workers, so that what one conversion frees is what the next one takes,
    // wherever it runs.
    mallopt(M_ARENA_MAX, 1);
    ConversionsAhead conversions(files, dpiStep, sizeStep, quality);
    for (qsizetype i = 0; i < files.size(); ++i) {
        if (!finishConversion(files[i], conversions.take(i)))
            status = kNegative;
        conversions.written(i);
    }
    return status;
}

// What keeps a photo out of the registry, by code and as the line says it; empty when it fits.
QList<std::pair<QString, QString>> registryProblems(const PictureInfo &info)
{
    QList<std::pair<QString, QString>> problems;
    if (info.format != PictureFormat::Jpeg)
        problems.append({QStringLiteral("format"), QStringLiteral("not a JPEG")});
    if (info.width != kPhotoWidth || info.height != kPhotoHeight)
        problems.append({QStringLiteral("pixel-size"), QStringLiteral("not 260 x 320 px")});
    if (info.dpiX != kPhotoDpi || info.dpiY != kPhotoDpi)
        problems.append({QStringLiteral("dpi"), QStringLiteral("not 254 dpi")});
    if (info.bytes > kCompressTargetBytes)
        problems.append({QStringLiteral("bytes"), QStringLiteral("more than 60000 bytes")});
    return problems;
}

int check(const QStringList &arguments)
{
    QCommandLineParser framingAsked;
    const QCommandLineOption framing(QStringLiteral("framing")), json(QStringLiteral("json"));
    framingAsked.addOption(framing);
    framingAsked.parse(QStringList(QString()) + arguments);
    if (framingAsked.isSet(framing))
        return runCommandProgram("lumo-cli-checks", arguments);

    CommandLine line(QStringLiteral("lumo-cli photo check"), usage::kCheck);
    line.parser.addOption(json);
    if (const auto done = line.parse(arguments))
        return *done;
    QStringList photos;
    if (const auto done = collectPhotos(line, line.positional(), &photos))
        return *done;

    QJsonArray objects;
    int status = kSuccess;
    for (const QString &file : photos) {
        QByteArray bytes;
        QString reason;
        PictureInfo info;
        // Every scan is decoded: a photo the registry cannot read, or reads with grey where data
        // is missing, does not fit.
        const bool read = readFileBytes(file, &bytes, &reason);
        const bool readable =
            read && verifyPicture(bytes, &reason) && inspectPicture(bytes, &info, &reason);
        const auto problems =
            readable ? registryProblems(info)
                     : decltype(registryProblems(info)){{QStringLiteral("unreadable"), QString()}};
        if (!problems.isEmpty())
            status = kNegative;
        QJsonArray codes;
        QStringList said;
        for (const auto &[code, words] : problems) {
            codes.append(code);
            said << words;
        }
        if (!readable)
            printLine(stderr, read ? notAPicture(file, reason) : reason);
        if (line.parser.isSet(json)) {
            QJsonObject object{{QStringLiteral("path"), file},
                               {QStringLiteral("readable"), readable},
                               {QStringLiteral("fits"), problems.isEmpty()},
                               {QStringLiteral("problems"), codes}};
            if (read) {
                object.insert(QStringLiteral("format"),
                              QLatin1String(formatName(pictureFormatOf(bytes))));
                object.insert(QStringLiteral("bytes"), bytes.size());
            }
            if (readable) {
                object.insert(QStringLiteral("width"), info.width);
                object.insert(QStringLiteral("height"), info.height);
                object.insert(QStringLiteral("dpiX"), info.dpiX);
                object.insert(QStringLiteral("dpiY"), info.dpiY);
            } else {
                object.insert(QStringLiteral("error"), reason);
            }
            objects.append(object);
        } else if (!readable) {
            printLine(stdout, shown(file) + QStringLiteral(": unreadable"));
        } else {
            printLine(stdout, QStringLiteral("%1: %2: %3")
                                  .arg(shown(file), describe(info),
                                       problems.isEmpty() ? QStringLiteral("ok")
                                                          : said.join(QStringLiteral(", "))));
        }
    }
    if (line.parser.isSet(json))
        printJson(QJsonDocument(objects));
    return status;
}

} // namespace

int runPhotoCommand(const QStringList &arguments)
{
    CommandLine line(QStringLiteral("lumo-cli photo"), usage::kPhoto);
    line.parser.setOptionsAfterPositionalArgumentsMode(
        QCommandLineParser::ParseAsPositionalArguments);
    if (const auto done = line.parse(arguments))
        return *done;
    QStringList rest = line.positional();
    if (rest.isEmpty())
        return line.usageError(text(msg::kNoCommand));
    const QString name = rest.takeFirst();
    if (name == u"convert")
        return convert(rest);
    if (name == u"check")
        return check(rest);
    if (name == u"resample")
        return resamplePhoto(rest);
    return line.usageError(text(msg::kUnknownCommand).arg(name));
}
