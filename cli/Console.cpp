#include "cli/Console.h"

#include "common/NativePath.h"

#include <clocale>
#include <cstdlib>

#include <malloc.h>

namespace lumo::cli {

namespace {

Language g_language = Language::English;

} // namespace

Language languageOfLocale()
{
    for (const char *name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char *value = std::getenv(name);
        if (value && *value)
            return QByteArrayView(value).startsWith("zh") ? Language::Chinese : Language::English;
    }
    return Language::English;
}

void setLanguage(Language language)
{
    g_language = language;
}

QString text(const Message &message)
{
    return QString::fromUtf8(g_language == Language::Chinese ? message.chinese : message.english);
}

QStringList startCommand(int argc, char *argv[])
{
    // System messages (strerror) in the user's language, as in a Qt application; the other
    // categories are not used and cost time to load.
    std::setlocale(LC_CTYPE, "");
    std::setlocale(LC_MESSAGES, "");
    setLanguage(languageOfLocale());
    // A batch reads and decodes picture after picture of the same size: freed memory stays with
    // the process for the next one instead of being returned and faulted in again.
    mallopt(M_MMAP_THRESHOLD, 32 << 20); // the largest glibc takes
    mallopt(M_TRIM_THRESHOLD, 128 << 20);
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << common::decodePath(argv[i]);
    return arguments;
}

void printText(std::FILE *out, const QString &text)
{
    const QByteArray bytes = common::encodePath(text);
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), out);
}

void printLine(std::FILE *out, const QString &line)
{
    printText(out, line);
    std::fputc('\n', out);
}

void printJson(const QJsonDocument &document)
{
    const QByteArray json = document.toJson(QJsonDocument::Indented);
    std::fwrite(json.constData(), 1, std::size_t(json.size()), stdout);
}

} // namespace lumo::cli
