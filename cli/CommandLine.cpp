#include "cli/CommandLine.h"

#include "cli/Messages.h"
#include "common/Version.h"

namespace lumo::cli {

CommandLine::CommandLine(const QString &name, const Message &usage) : m_name(name), m_usage(usage)
{
    parser.addHelpOption();
    parser.addVersionOption();
}

std::optional<int> CommandLine::parse(const QStringList &arguments)
{
    const bool parsed = parser.parse(QStringList(m_name) + arguments);
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"))) {
        printText(stdout, text(m_usage));
        return kSuccess;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        printLine(stdout, versionLine());
        return kSuccess;
    }
    if (parsed)
        return std::nullopt;
    const QStringList unknown = parser.unknownOptionNames();
    if (unknown.isEmpty())
        return usageError(text(msg::kOptionProblem).arg(parser.errorText()));
    const QString &first = unknown.first();
    return usageError(
        text(msg::kUnknownOption).arg(QLatin1String(first.size() == 1 ? "-" : "--") + first));
}

int CommandLine::usageError(const QString &problem) const
{
    printLine(stderr, m_name + QLatin1String(": ") + problem + u'\n');
    printText(stderr, text(m_usage));
    return kUsage;
}

void CommandLine::tell(const QString &text) const
{
    printLine(stderr, m_name + QLatin1String(": ") + text);
}

int CommandLine::fail(const QString &reason) const
{
    tell(reason);
    return kNegative;
}

QString versionLine()
{
    return QStringLiteral("lumo-cli ") + QString::fromLatin1(kVersion);
}

} // namespace lumo::cli
