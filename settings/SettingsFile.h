// The settings file "config/xueji_orin.ini": 21 lines, each one value in double quotes, GBK,
// CR LF. A value is known only by its line number.
#pragma once

#include "settings/SessionSettings.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>

namespace lumo::settings {

inline constexpr const char *kSettingsFileName = "xueji_orin.ini";
inline constexpr int kLineCount = 21;
inline constexpr int kMaxFileBytes = 64 * 1024;

// A value the format can hold: no "|" (the reader's old line separator), no line break, and
// only characters that GBK can encode.
bool isStorable(QStringView value);

// The value without "|" and line breaks.
QString storableText(QStringView value);

// The file's bytes. Unstorable characters are dropped, so no value can shift the lines after it.
QByteArray encode(const SessionSettings &settings);

// The settings of a file, or nothing when the file must be reset: fewer than 21 lines, a line
// shorter than two characters, a switch that is not 0, 1 or 2, a current index that is not a
// 16-bit number, text that is not GBK, or a file too large to be a settings file.
std::optional<SessionSettings> decode(const QByteArray &bytes);

// Reads and decodes the file; nothing when it is missing, unreadable or must be reset.
std::optional<SessionSettings> readFile(const QString &path);

// Writes the file atomically; false, with the reason, when it cannot be written.
bool writeFile(const QString &path, const SessionSettings &settings, QString *reason = nullptr);

} // namespace lumo::settings
