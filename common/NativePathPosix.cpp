#include "common/NativePath.h"

#include <QStringDecoder>

#include <dirent.h>
#include <sys/stat.h>

namespace lumo::common {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

bool isEscapedByte(char16_t unit)
{
    return unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF;
}

// The length of the valid UTF-8 sequence at the start of bytes, or 0.
qsizetype validSequenceLength(const unsigned char *bytes, qsizetype left)
{
    const unsigned char lead = bytes[0];
    if (lead < 0x80)
        return 1;
    qsizetype length = 0;
    unsigned char low = 0x80, high = 0xBF; // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0; // overlong
        if (lead == 0xED)
            high = 0x9F; // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90; // overlong
        if (lead == 0xF4)
            high = 0x8F; // beyond U+10FFFF
    } else {
        return 0;
    }
    if (left < length || bytes[1] < low || bytes[1] > high)
        return 0;
    for (qsizetype i = 2; i < length; ++i) {
        if (bytes[i] < 0x80 || bytes[i] > 0xBF)
            return 0;
    }
    return length;
}

} // namespace

QString decodePath(QByteArrayView bytes)
{
    QStringDecoder strict(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = strict(bytes);
    if (!strict.hasError())
        return text;
    text.clear();
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.data());
    for (qsizetype i = 0; i < bytes.size();) {
        const qsizetype length = validSequenceLength(data + i, bytes.size() - i);
        if (length == 0) {
            text += QChar(char16_t(kEscapeBase + data[i]));
            ++i;
        } else {
            text += QString::fromUtf8(bytes.sliced(i, length));
            i += length;
        }
    }
    return text;
}

QByteArray encodePath(const QString &path)
{
    QByteArray bytes;
    bytes.reserve(path.size());
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t unit = path[i].unicode();
        if (QChar::isHighSurrogate(unit) && i + 1 < path.size() && path[i + 1].isLowSurrogate()) {
            ++i; // a pair, encoded with its run
        } else if (isEscapedByte(unit)) {
            bytes += QStringView(path).sliced(runStart, i - runStart).toUtf8();
            bytes += char(unit - kEscapeBase);
            runStart = i + 1;
        }
    }
    bytes += QStringView(path).sliced(runStart).toUtf8();
    return bytes;
}

PathKind pathKind(const QString &path)
{
    struct stat status = {};
    if (::stat(encodePath(path).constData(), &status) != 0)
        return PathKind::Missing;
    if (S_ISREG(status.st_mode))
        return PathKind::File;
    return S_ISDIR(status.st_mode) ? PathKind::Folder : PathKind::Other;
}

QStringList fileNamesIn(const QString &folder)
{
    QStringList names;
    const QByteArray encoded = encodePath(folder);
    DIR *directory = ::opendir(encoded.constData());
    if (!directory)
        return names;
    while (const dirent *entry = ::readdir(directory)) {
        const QByteArray name(entry->d_name);
        struct stat status = {};
        if (name != "." && name != ".." &&
            ::stat(QByteArray(encoded + '/' + name).constData(), &status) == 0 &&
            S_ISREG(status.st_mode))
            names << decodePath(name);
    }
    ::closedir(directory);
    return names;
}

} // namespace lumo::common
