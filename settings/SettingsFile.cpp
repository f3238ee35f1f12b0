#include "settings/SettingsFile.h"

#include "settings/NumberText.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringList>

namespace settings {

const std::array<SettingLine, kLineCount> kSettingLines = {{
    {0, "", LineKind::Marker, u"orin", false},
    {1, "ZhaoPKuan", LineKind::Text, u"180", false},
    {2, "ZhaoPGao", LineKind::Text, u"240", false},
    {3, "YDStep", LineKind::Text, u"3", false},
    {4, "LabelQjKK", LineKind::Caption, u"2400", false},
    {5, "LabelQjKG", LineKind::Caption, u"3285", false},
    {6, "TextOutPath", LineKind::Text, u"学籍照片", true},
    {7, "SuoFangStep", LineKind::Text, u"10", false},
    {8, "TextSay1", LineKind::Text, u"请", false},
    {9, "TextSay2", LineKind::Text, u"前来,,,,", false},
    {10, "TextSay3", LineKind::Text, u"准备", false},
    {11, "CheckInNotYuYIn", LineKind::Switch, u"1", false},
    {12, "CheckAutoYaSuo", LineKind::Switch, u"1", false},
    {13, "CheckAutoBak", LineKind::Switch, u"0", false},
    {14, "TextBakPath", LineKind::Text, u"学籍照片备份", true},
    {15, "NowXS", LineKind::CurrentIndex, u"0", false},
    {16, "", LineKind::Reserved, u"", false},
    {17, "TextXianKuan01", LineKind::Text, u"2", false},
    {18, "TextXianKuan02", LineKind::Text, u"2", false},
    {19, "TextExcelPath", LineKind::Text, u"学生信息模板.xls", false},
    {20, "CheckDpi", LineKind::Switch, u"1", false},
}};

namespace {

const char *const kEncoding = "GBK";

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

std::optional<QString> decodedValue(const SettingLine &line, const QString &rawLine)
{
    if (rawLine.size() < 2)
        return std::nullopt;
    // The quotes are not checked: the first and the last character are simply dropped.
    const QString value = storableText(QStringView(rawLine).mid(1, rawLine.size() - 2));
    switch (line.kind) {
    case LineKind::Switch: {
        const numbers::Int16Conversion state = numbers::toInt16(value);
        if (!state.ok() || state.value < 0 || state.value > 2)
            return std::nullopt;
        return QString::number(state.value);
    }
    case LineKind::CurrentIndex: {
        const numbers::Int16Conversion index = numbers::toInt16(value);
        if (!index.ok())
            return std::nullopt;
        return QString::number(index.value);
    }
    case LineKind::Marker:
    case LineKind::Reserved:
    case LineKind::Text:
    case LineKind::Caption:
        return value;
    }
    return value;
}

} // namespace

SettingValues defaultValues(const QString &homeFolder)
{
    SettingValues values;
    for (const SettingLine &line : kSettingLines) {
        const QString value = QString::fromUtf16(line.defaultValue);
        values[line.number] =
            line.defaultUnderHome ? QDir::toNativeSeparators(homeFolder + u'/' + value) : value;
    }
    return values;
}

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

QByteArray encode(const SettingValues &values)
{
    QString text;
    for (const SettingLine &line : kSettingLines) {
        const QString value = line.kind == LineKind::Marker     ? QStringLiteral("orin")
                              : line.kind == LineKind::Reserved ? QString()
                                                                : storableText(values[line.number]);
        text += u'"' + value + u'"' + QStringLiteral("\r\n");
    }
    QStringEncoder encoder(kEncoding);
    return encoder.encode(text);
}

std::optional<SettingValues> decode(const QByteArray &bytes)
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

    SettingValues values;
    for (const SettingLine &line : kSettingLines) {
        if (line.kind == LineKind::Marker || line.kind == LineKind::Reserved)
            continue;
        const std::optional<QString> value = decodedValue(line, lines[line.number]);
        if (!value)
            return std::nullopt;
        values[line.number] = *value;
    }
    values[0] = QStringLiteral("orin");
    return values;
}

std::optional<SettingValues> readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return decode(file.read(kMaxFileBytes + 1));
}

bool writeFile(const QString &path, const SettingValues &values)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = encode(values);
    if (file.write(bytes) != bytes.size())
        return false;
    return file.commit();
}

} // namespace settings
