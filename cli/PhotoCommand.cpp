#include "cli/PhotoCommand.h"

#include "cli/CommandProgram.h"
#include "cli/PhotoCommandParts.h"

#include "common/AtomicFile.h"
#include "photo/BitmapCodec.h"
#include "photo/JpegCodec.h"
#include "photo/PictureFile.h"
#include "photo/RegistryPhoto.h"
#include "photo/Resampler.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

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

bool lumo::cli::wantsHelp(const QStringList &arguments)
{
    return arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"));
}

int lumo::cli::usageError(const char *usage, const QString &problem)
{
    std::fprintf(stderr, "lumo-cli photo: %s\n\n%s", qPrintable(problem), usage);
    return kUsage;
}

QString lumo::cli::shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

void lumo::cli::printFailure(const QString &path, const QString &reason)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(shown(path)), qPrintable(reason));
}

namespace {

const char *const kPhotoUsage =
    "usage: lumo-cli photo convert [--no-dpi] [--no-compress] [--best] FILE...\n"
    "       lumo-cli photo check [--framing] FILE|FOLDER...\n"
    "       lumo-cli photo resample IN OUT [--size WxH]\n"
    "\n"
    "  convert   the DPI step (260 x 320 px, 254 dpi JPEG) then the size step (at most\n"
    "            60000 bytes, five passes at most) on each file, in place\n"
    "  check     format, pixel size, dpi and bytes of each photo (a folder: its .jpg files);\n"
    "            exit status 1 when any is not a JPEG of 260 x 320 px at 254 dpi and at most\n"
    "            60000 bytes; --framing: face, framing, sharpness, exposure, background\n"
    "  resample  the 260 x 320 resampler alone, written losslessly (.bmp or .png)\n"
    "\n\"lumo-cli photo COMMAND --help\" describes a command.\n";

const char *const kConvertUsage =
    "usage: lumo-cli photo convert [--no-dpi] [--no-compress] [--best] FILE...\n"
    "\n"
    "Turns each photo file, in place, into a registry photo as a save does after its first\n"
    "write: the DPI step resamples it to 260 x 320 pixels and writes it as a JPEG at 254 dpi;\n"
    "the size step re-encodes a file of 55000 bytes or more at quality 80 until it is at most\n"
    "60000 bytes, five times at most. Every write replaces the file atomically.\n"
    "\n"
    "  --no-dpi       leave out the DPI step\n"
    "  --no-compress  leave out the size step\n"
    "  --best         the DPI step writes the highest JPEG quality whose file is at most 60000\n"
    "                 bytes, instead of quality 100 and the size step\n"
    "\n"
    "Exit status: 0 when every file was converted, 1 when any could not be (missing, not a\n"
    "picture, not writable), 2 for wrong arguments.\n";

const char *const kCheckUsage =
    "usage: lumo-cli photo check [--framing] FILE|FOLDER...\n"
    "\n"
    "Prints, for each photo, its format (by content), pixel size, dpi and length in bytes; a\n"
    "folder stands for its .jpg and .jpeg files. A photo fits the registry when it is a JPEG of\n"
    "260 x 320 pixels at 254 dpi and at most 60000 bytes.\n"
    "\n"
    "With --framing, checks instead what the registry rejects in the picture: one frontal face,\n"
    "the head's size and place, level eyes, sharpness, exposure and a plain light background;\n"
    "one line per photo, its path, a tab, and \"ok\" or the codes (see --framing --help).\n"
    "\n"
    "Exit status: 0 when every photo fits, 1 when any does not or cannot be read, 2 for wrong\n"
    "arguments or a path that does not exist.\n";

QString notAPicture(const QString &path, const QString &reason)
{
    return QStringLiteral("文件 %1 不是可以读取的图片：%2").arg(shown(path), reason);
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
            result.errors << QStringLiteral("错误的图像文件");
            return failed(QStringLiteral("not converted"));
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
        failed.errors << QStringLiteral("%1: not enough memory").arg(shown(file));
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
        std::fprintf(stderr, "%s\n", qPrintable(error));
    if (!errors.isEmpty())
        return false;
    std::printf("%s\n", qPrintable(conversion.line));
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
    if (wantsHelp(arguments)) {
        std::fputs(kConvertUsage, stdout);
        return kOk;
    }
    bool dpiStep = true;
    bool sizeStep = true;
    Quality quality = Quality::Registry;
    QStringList files;
    for (const QString &argument : arguments) {
        if (argument == u"--no-dpi")
            dpiStep = false;
        else if (argument == u"--best")
            quality = Quality::Best;
        else if (argument == u"--no-compress")
            sizeStep = false;
        else if (argument.startsWith(u"--"))
            return usageError(kConvertUsage, QStringLiteral("unknown option %1").arg(argument));
        else
            files << argument;
    }
    if (files.isEmpty())
        return usageError(kConvertUsage, QStringLiteral("no file given"));
    // A file-size limit makes the write fail and be reported instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);

    int status = kOk;
    if (files.size() == 1)
        return finishConversion(files[0], convertInMemory(files[0], dpiStep, sizeStep, quality))
                   ? kOk
                   : kFailed;
    // One heap for all workers, so that what one conversion frees is what the next one takes,
    // wherever it runs.
    mallopt(M_ARENA_MAX, 1);
    ConversionsAhead conversions(files, dpiStep, sizeStep, quality);
    for (qsizetype i = 0; i < files.size(); ++i) {
        if (!finishConversion(files[i], conversions.take(i)))
            status = kFailed;
        conversions.written(i);
    }
    return status;
}

QStringList photosIn(const QString &folder)
{
    QStringList photos;
    for (const QFileInfo &entry : QDir(folder).entryInfoList(QDir::Files | QDir::NoDotAndDotDot,
                                                             QDir::Name | QDir::IgnoreCase)) {
        const QString suffix = entry.suffix().toLower();
        if (suffix == u"jpg" || suffix == u"jpeg")
            photos << entry.filePath();
    }
    return photos;
}

// What keeps a photo out of the registry; empty when it fits.
QStringList registryProblems(const PictureInfo &info)
{
    QStringList problems;
    if (info.format != PictureFormat::Jpeg)
        problems << QStringLiteral("not a JPEG");
    if (info.width != kPhotoWidth || info.height != kPhotoHeight)
        problems << QStringLiteral("not 260 x 320 px");
    if (info.dpiX != kPhotoDpi || info.dpiY != kPhotoDpi)
        problems << QStringLiteral("not 254 dpi");
    if (info.bytes > kCompressTargetBytes)
        problems << QStringLiteral("more than 60000 bytes");
    return problems;
}

int check(const QStringList &arguments)
{
    if (arguments.contains(QStringLiteral("--framing"))) {
        // The checks' program needs no arguments of lumo-cli's own: Qt finds the folder of the
        // running program by itself.
        char name[] = "lumo-cli";
        char *argv[] = {name, nullptr};
        int argc = 1;
        return runCommandProgram(argc, argv, "lumo-cli-checks", arguments);
    }
    if (wantsHelp(arguments)) {
        std::fputs(kCheckUsage, stdout);
        return kOk;
    }
    if (arguments.isEmpty())
        return usageError(kCheckUsage, QStringLiteral("no file or folder given"));
    QStringList photos;
    for (const QString &argument : arguments) {
        const QFileInfo path(argument);
        if (!path.exists())
            return usageError(kCheckUsage, QStringLiteral("%1 does not exist").arg(argument));
        if (path.isDir()) {
            const QStringList found = photosIn(argument);
            if (found.isEmpty())
                std::fprintf(stderr, "%s: no .jpg files\n", qPrintable(shown(argument)));
            photos << found;
        } else
            photos << argument;
    }

    int status = kOk;
    for (const QString &file : photos) {
        QByteArray bytes;
        QString reason;
        PictureInfo info;
        // Every scan is decoded: a photo the registry cannot read, or reads with grey where data
        // is missing, does not fit.
        const bool readable = readFileBytes(file, &bytes, &reason) &&
                              verifyPicture(bytes, &reason) &&
                              inspectPicture(bytes, &info, &reason);
        if (!readable) {
            std::printf("%s: unreadable: %s\n", qPrintable(shown(file)),
                        qPrintable(bytes.isEmpty() ? reason : notAPicture(file, reason)));
            status = kFailed;
            continue;
        }
        const QStringList problems = registryProblems(info);
        std::printf("%s: %s: %s\n", qPrintable(shown(file)), qPrintable(describe(info)),
                    problems.isEmpty() ? "ok" : qPrintable(problems.join(QStringLiteral(", "))));
        if (!problems.isEmpty())
            status = kFailed;
    }
    return status;
}

} // namespace

int runPhotoCommand(const QStringList &arguments)
{
    if (arguments.isEmpty()) {
        std::fputs(kPhotoUsage, stderr);
        return kUsage;
    }
    const QString &name = arguments.first();
    const QStringList rest = arguments.mid(1);
    if (name == u"--help" || name == u"-h") {
        std::fputs(kPhotoUsage, stdout);
        return kOk;
    }
    if (name == u"convert")
        return convert(rest);
    if (name == u"check")
        return check(rest);
    if (name == u"resample")
        return resamplePhoto(rest);
    return usageError(kPhotoUsage, QStringLiteral("unknown command \"%1\"").arg(name));
}
