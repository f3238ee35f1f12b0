#include "cli/PhotoCommand.h"

#include "photo/Cimage.h"
#include "photo/DpiStep.h"
#include "photo/JpegWriter.h"
#include "photo/PhotoError.h"
#include "photo/PictureFile.h"
#include "photo/ResizeImage.h"
#include "platform/Dialogs.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cstdio>

namespace {

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

const char *const kPhotoUsage =
    "usage: lumo-cli photo convert [--no-dpi] [--no-compress] FILE...\n"
    "       lumo-cli photo check FILE|FOLDER...\n"
    "       lumo-cli photo resample IN OUT [--size WxH]\n"
    "\n"
    "  convert   the DPI step (260 x 320 px, 254 dpi JPEG) then the size step (at most\n"
    "            60000 bytes, five passes at most) on each file, in place\n"
    "  check     format, pixel size, dpi and bytes of each photo (a folder: its .jpg files);\n"
    "            exit status 1 when any is not a JPEG of 260 x 320 px at 254 dpi and at most\n"
    "            60000 bytes\n"
    "  resample  the 260 x 320 resampler alone, written losslessly (.bmp or .png)\n"
    "\n\"lumo-cli photo COMMAND --help\" describes a command.\n";

const char *const kConvertUsage =
    "usage: lumo-cli photo convert [--no-dpi] [--no-compress] FILE...\n"
    "\n"
    "Turns each photo file, in place, into a registry photo as a save does after its first\n"
    "write: the DPI step resamples it to 260 x 320 pixels and writes it as a JPEG at 254 dpi;\n"
    "the size step re-encodes a file of 55000 bytes or more at quality 80 until it is at most\n"
    "60000 bytes, five times at most. Every write replaces the file atomically.\n"
    "\n"
    "  --no-dpi       leave out the DPI step\n"
    "  --no-compress  leave out the size step\n"
    "\n"
    "Exit status: 0 when every file was converted, 1 when any could not be (missing, not a\n"
    "picture, not writable), 2 for wrong arguments.\n";

const char *const kCheckUsage =
    "usage: lumo-cli photo check FILE|FOLDER...\n"
    "\n"
    "Prints, for each photo, its format (by content), pixel size, dpi and length in bytes; a\n"
    "folder stands for its .jpg and .jpeg files. A photo fits the registry when it is a JPEG of\n"
    "260 x 320 pixels at 254 dpi and at most 60000 bytes.\n"
    "\n"
    "Exit status: 0 when every photo fits, 1 when any does not or cannot be read, 2 for wrong\n"
    "arguments or a path that does not exist.\n";

const char *const kResampleUsage =
    "usage: lumo-cli photo resample IN OUT [--size WxH]\n"
    "\n"
    "Resamples the picture IN with the bilinear resampler of the DPI step to 260 x 320 pixels\n"
    "(or WxH) and writes it without loss to OUT, a bitmap for .bmp or a PNG for .png.\n"
    "\n"
    "Exit status: 0 on success, 1 when IN cannot be read or OUT cannot be written, 2 for wrong\n"
    "arguments.\n";

// The DPI step's message goes to the terminal.
class TerminalDialogs : public Dialogs
{
public:
    void message(const QString &text, const QString &) override
    {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        ++messages;
    }
    bool question(const QString &text, const QString &) override
    {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        return false;
    }
    int messages = 0;
};

bool wantsHelp(const QStringList &arguments)
{
    return arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"));
}

int usageError(const char *usage, const QString &problem)
{
    std::fprintf(stderr, "lumo-cli photo: %s\n\n%s", qPrintable(problem), usage);
    return kUsage;
}

void printFailure(const QString &path, const QString &reason)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(QDir::toNativeSeparators(path)),
                 qPrintable(reason));
}

QString describe(const photo::PictureInfo &info)
{
    return QStringLiteral("%1, %2 x %3 px, %4 dpi, %5 bytes")
        .arg(QString::fromLatin1(photo::formatName(info.format)))
        .arg(info.width)
        .arg(info.height)
        .arg(info.dpiX == info.dpiY ? QString::number(info.dpiX)
                                    : QStringLiteral("%1 x %2").arg(info.dpiX).arg(info.dpiY))
        .arg(info.bytes);
}

int convert(const QStringList &arguments)
{
    if (wantsHelp(arguments)) {
        std::fputs(kConvertUsage, stdout);
        return kOk;
    }
    bool dpiStep = true;
    bool sizeStep = true;
    QStringList files;
    for (const QString &argument : arguments) {
        if (argument == u"--no-dpi")
            dpiStep = false;
        else if (argument == u"--no-compress")
            sizeStep = false;
        else if (argument.startsWith(u"--"))
            return usageError(kConvertUsage, QStringLiteral("unknown option %1").arg(argument));
        else
            files << argument;
    }
    if (files.isEmpty())
        return usageError(kConvertUsage, QStringLiteral("no file given"));

    TerminalDialogs dialogs;
    photo::DpiStep step(dialogs);
    int status = kOk;
    for (const QString &file : files) {
        try {
            if (dpiStep && !step.AdjustDpi(file, file)) {
                printFailure(file, QStringLiteral("not converted"));
                status = kFailed;
                continue;
            }
            if (sizeStep)
                photo::CompressJpg(file);
            std::printf("%s: %s\n", qPrintable(QDir::toNativeSeparators(file)),
                        qPrintable(describe(photo::inspectPicture(file))));
        } catch (const photo::PhotoError &error) {
            printFailure(file, error.description());
            status = kFailed;
        }
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

int check(const QStringList &arguments)
{
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
                std::fprintf(stderr, "%s: no .jpg files\n",
                             qPrintable(QDir::toNativeSeparators(argument)));
            photos << found;
        } else
            photos << argument;
    }

    int status = kOk;
    for (const QString &file : photos) {
        try {
            const photo::PictureInfo info = photo::inspectPicture(file);
            QStringList problems;
            if (info.format != photo::PictureFormat::Jpeg)
                problems << QStringLiteral("not a JPEG");
            if (info.width != photo::kPhotoWidth || info.height != photo::kPhotoHeight)
                problems << QStringLiteral("not 260 x 320 px");
            if (info.dpiX != 254 || info.dpiY != 254)
                problems << QStringLiteral("not 254 dpi");
            if (info.bytes > photo::kCompressTargetBytes)
                problems << QStringLiteral("more than 60000 bytes");
            std::printf("%s: %s: %s\n", qPrintable(QDir::toNativeSeparators(file)),
                        qPrintable(describe(info)),
                        problems.isEmpty() ? "ok"
                                           : qPrintable(problems.join(QStringLiteral(", "))));
            if (!problems.isEmpty())
                status = kFailed;
        } catch (const photo::PhotoError &error) {
            std::printf("%s: unreadable: %s\n", qPrintable(QDir::toNativeSeparators(file)),
                        qPrintable(error.description()));
            status = kFailed;
        }
    }
    return status;
}

int resample(const QStringList &arguments)
{
    if (wantsHelp(arguments)) {
        std::fputs(kResampleUsage, stdout);
        return kOk;
    }
    QSize size(photo::kPhotoWidth, photo::kPhotoHeight);
    QStringList paths;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == u"--size") {
            if (i + 1 >= arguments.size())
                return usageError(kResampleUsage, QStringLiteral("--size needs WxH"));
            static const QRegularExpression pattern(QStringLiteral("^(\\d{1,5})[xX](\\d{1,5})$"));
            const QRegularExpressionMatch match = pattern.match(arguments[++i]);
            const int width = match.hasMatch() ? match.captured(1).toInt() : 0;
            const int height = match.hasMatch() ? match.captured(2).toInt() : 0;
            if (width < 1 || height < 1 || width > photo::Cimage::kMaxSide ||
                height > photo::Cimage::kMaxSide)
                return usageError(
                    kResampleUsage,
                    QStringLiteral("bad size %1 (WxH, 1 to 32767 each)").arg(arguments[i]));
            size = QSize(width, height);
        } else if (arguments[i].startsWith(u"--")) {
            return usageError(kResampleUsage,
                              QStringLiteral("unknown option %1").arg(arguments[i]));
        } else {
            paths << arguments[i];
        }
    }
    if (paths.size() != 2)
        return usageError(kResampleUsage, QStringLiteral("IN and OUT are needed"));
    const QString &in = paths[0];
    const QString &out = paths[1];
    const QString suffix = QFileInfo(out).suffix().toLower();
    if (suffix != u"bmp" && suffix != u"png")
        return usageError(kResampleUsage, QStringLiteral("OUT must end in .bmp or .png"));

    try {
        photo::Cimage source;
        if (!source.LoadPicture(photo::LoadPicture(in))) {
            printFailure(in, QStringLiteral("错误的图像文件"));
            return kFailed;
        }
        const photo::Cimage target = photo::ResizeImage(source, size.width(), size.height());
        const QImage image = target.toImage();
        if (image.isNull()) {
            printFailure(in, QStringLiteral("not enough memory for %1 x %2 px")
                                 .arg(size.width())
                                 .arg(size.height()));
            return kFailed;
        }
        if (suffix == u"bmp") {
            photo::SaveBitmap(image, out);
        } else {
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            QString reason;
            if (!image.save(&buffer, "PNG") || !photo::writeFileAtomically(out, bytes, &reason)) {
                printFailure(out, reason.isEmpty() ? QStringLiteral("cannot write") : reason);
                return kFailed;
            }
        }
    } catch (const photo::PhotoError &error) {
        printFailure(in, error.description());
        return kFailed;
    }
    return kOk;
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
        return resample(rest);
    return usageError(kPhotoUsage, QStringLiteral("unknown command \"%1\"").arg(name));
}
