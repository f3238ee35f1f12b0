// The settings file "config/xueji_orin.ini": 21 lines, each one value in double quotes, GBK,
// CR LF. A value is known only by its line number; the table below binds each line to the
// main-window control that holds it.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>

namespace settings {

inline constexpr int kLineCount = 21;
inline constexpr int kMaxFileBytes = 64 * 1024;

enum class LineKind {
    Marker,       // line 0: always "orin", not examined when read
    Text,         // a text box's text
    Caption,      // a label's caption
    Switch,       // a check box: 0, 1 or 2
    CurrentIndex, // NowXS, a 16-bit integer
    Reserved,     // kept so that later lines keep their numbers; written empty, ignored
};

struct SettingLine
{
    int number;
    const char *control; // object name of the control, or the variable's name
    LineKind kind;
    const char16_t *defaultValue;
    bool defaultUnderHome; // the default is a folder name under the user's home folder
};

extern const std::array<SettingLine, kLineCount> kSettingLines;

// One value per line, index = line number.
using SettingValues = std::array<QString, kLineCount>;

// What a reset puts into the controls.
SettingValues defaultValues(const QString &homeFolder);

// A value the format can hold: no "|" (the reader's old line separator), no line break, and
// only characters that GBK can encode.
bool isStorable(QStringView value);

// The value without "|" and line breaks.
QString storableText(QStringView value);

// The file's bytes. Unstorable characters are dropped, so no value can shift the lines after it.
QByteArray encode(const SettingValues &values);

// The values of a file, or nothing when the file must be reset: fewer than 21 lines, a line
// shorter than two characters, a switch that is not 0, 1 or 2, a current index that is not a
// 16-bit number, text that is not GBK, or a file too large to be a settings file.
// Switch and index values come back as plain decimal text.
std::optional<SettingValues> decode(const QByteArray &bytes);

// Reads and decodes the file; nothing when it is missing, unreadable or must be reset.
std::optional<SettingValues> readFile(const QString &path);

// Writes the file atomically (temporary file in the same folder, flushed, renamed).
bool writeFile(const QString &path, const SettingValues &values);

} // namespace settings
