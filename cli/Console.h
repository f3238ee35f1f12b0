// What every lumo-cli program shares: the exit statuses, the language of its messages, and the
// output, which writes file names back as the bytes they came from.
#pragma once

#include <QJsonDocument>
#include <QString>
#include <QStringList>

#include <cstdio>

namespace lumo::cli {

// The exit statuses of every command.
inline constexpr int kSuccess = 0;
inline constexpr int kNegative = 1; // a check found something, nothing packed, a file not made
inline constexpr int kUsage = 2;    // wrong arguments, or an input that cannot be used
inline constexpr int kPackedTooLarge = 3;

// A message of lumo-cli in both of its languages.
struct Message
{
    const char *english;
    const char *chinese;
};

enum class Language { English, Chinese };

// Chinese when LC_ALL, LC_MESSAGES or LANG, the first one set, starts with "zh".
Language languageOfLocale();
void setLanguage(Language language);
QString text(const Message &message);

// Sets up the process for a command (locale for system messages, memory reuse, the language)
// and returns the arguments after the program's name, every byte of a file name kept.
QStringList startCommand(int argc, char *argv[]);

void printLine(std::FILE *out, const QString &line);
void printText(std::FILE *out, const QString &text);
// The document on the output stream, as UTF-8; a byte of a file name that is not UTF-8 is
// written "\udcXX", which Python reads back with its "surrogateescape" error handler.
void printJson(const QJsonDocument &document);

} // namespace lumo::cli
