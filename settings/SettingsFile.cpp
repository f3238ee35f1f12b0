#include "settings/SettingsFile.h"

#include "common/AtomicFile.h"
#include "common/NumberText.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringList>

#include <array>

namespace lumo::settings {

namespace {

const char *const kEncoding = "GBK";

using Lines = std::array<QString, kLineCount>;

// Line 0 is a marker and line 16 is reserved: kept so that the lines after them keep their
// numbers, never read.
constexpr int kSwitchLines[] = {11, 12, 13, 20};
constexpr int kCurrentIndexLine = 15;

Lines toLines(const SessionSettings &s)
{
    return {QStringLiteral("orin"),
            s.photoWidth,
            s.photoHeight,
            s.moveStep,
            s.frameWidthTwips,
            s.frameHeightTwips,
            s.outputFolder,
            s.zoomStep,
            s.promptBeforeName,
            s.promptBetweenNames,
            s.promptAfterNextName,
            QString::number(s.voiceOff),
            QString::number(s.compress),
            QString::number(s.backup),
            s.backupFolder,
            QString::number(s.currentIndex),
            QString(),
            s.outerBorderWidth,
            s.innerBorderWidth,
            s.workbookPath,
            QString::number(s.adjustDpi)};
}

SessionSettings fromLines(const Lines &lines)
{
    SessionSettings s;
    s.photoWidth = lines[1];
    s.photoHeight = lines[2];
    s.moveStep = lines[3];
    s.frameWidthTwips = lines[4];
    s.frameHeightTwips = lines[5];
    s.outputFolder = lines[6];
    s.zoomStep = lines[7];
    s.promptBeforeName = lines[8];
    s.promptBetweenNames = lines[9];
    s.promptAfterNextName = lines[10];
    s.voiceOff = lines[11].toInt();
    s.compress = lines[12].toInt();
    s.backup = lines[13].toInt();
    s.backupFolder = lines[14];
    s.currentIndex = qint16(lines[15].toInt());
    s.outerBorderWidth = lines[17];
    s.innerBorderWidth = lines[18];
    s.workbookPath = lines[19];
    s.adjustDpi = lines[20].toInt();
    return s;
}

// The lines of the text; CR LF, CR and LF all end a line, and a final line break adds no line.
QStringList splitLines(const QString &text)
{
    QStringList lines;
    QString current;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n') {
            lines << current;
            current.clear();
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else {
            current += c;
        }
    }
    if (!current.isEmpty())
        lines << current;
    return lines;
}

bool isSwitchLine(int line)
{
    return std::find(std::begin(kSwitchLines), std::end(kSwitchLines), line) !=
           std::end(kSwitchLines);
}

// The value of a line as the settings hold it; nothing when the line forces a reset.
std::optional<QString> decodedValue(int line, const QString &rawLine)
{
    if (rawLine.size() < 2)
        return std::nullopt;
    // The quotes are not checked: the first and the last character are simply dropped.
    const QString value = storableText(QStringView(rawLine).mid(1, rawLine.size() - 2));
    if (isSwitchLine(line)) {
        const common::Int16Conversion state = common::toInt16(value);
        if (!state.ok() || state.value < 0 || state.value > 2)
            return std::nullopt;
        return QString::number(state.value);
    }
    if (line == kCurrentIndexLine) {
        const common::Int16Conversion index = common::toInt16(value);
        if (!index.ok())
            return std::nullopt;
        return QString::number(index.value);
    }
    return value;
}

} // namespace

bool isStorable(QStringView value)
{
    for (QChar c : value) {
        if (c == u'|' || c == u'\r' || c == u'\n')
            return false;
    }
    QStringEncoder encoder(kEncoding);
    [[maybe_unused]] const QByteArray bytes = encoder.encode(value);
    return !encoder.hasError();
}

QString storableText(QStringView value)
{
    QString text;
    text.reserve(value.size());
    for (QChar c : value) {
        if (c != u'|' && c != u'\r' && c != u'\n')
            text += c;
    }
    return text;
}

QByteArray encode(const SessionSettings &settings)
{
    QString text;
    for (const QString &value : toLines(settings))
        text += u'"' + storableText(value) + u'"' + QStringLiteral("\r\n");
    QStringEncoder encoder(kEncoding);
    return encoder.encode(text);
}

std::optional<SessionSettings> decode(const QByteArray &bytes)
{
    if (bytes.size() > kMaxFileBytes)
        return std::nullopt;
    QStringDecoder decoder(kEncoding);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    const QStringList lines = splitLines(text);
    if (lines.size() < kLineCount)
        return std::nullopt;

    Lines values;
    for (int line = 1; line < kLineCount; ++line) {
        if (line == 16)
            continue;
        const std::optional<QString> value = decodedValue(line, lines[line]);
        if (!value)
            return std::nullopt;
        values[std::size_t(line)] = *value;
    }
    return fromLines(values);
}

std::optional<SessionSettings> readFile(const QString &path)
{
    // A pipe or a device in the file's place must not block the start-up.
    QByteArray bytes;
    QString error;
    if (!common::readRegularFile(path, kMaxFileBytes, &bytes, &error))
        return std::nullopt;
    return decode(bytes);
}

bool writeFile(const QString &path, const SessionSettings &settings, QString *reason)
{
    return common::writeFileAtomically(path, encode(settings), reason);
}

} // namespace lumo::settings
