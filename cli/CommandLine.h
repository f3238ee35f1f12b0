// A command's arguments, parsed as command-line programs do: --help and --version, "--" ends
// the options, and an unknown option or a missing value is a usage error that names it.
#pragma once

#include "cli/Console.h"

#include <QCommandLineParser>

#include <optional>

namespace lumo::cli {

class CommandLine
{
public:
    // name: how the command is called in messages ("lumo-cli photo convert").
    CommandLine(const QString &name, const Message &usage);

    QCommandLineParser parser;

    // The exit status when the command is already done (help, version, a usage error);
    // nothing when it goes on with the parsed arguments.
    std::optional<int> parse(const QStringList &arguments);
    // The arguments that are no options, "--" and what follows it included.
    QStringList positional() const { return parser.positionalArguments(); }

    // "NAME: problem" and the usage, on the error stream; returns kUsage.
    int usageError(const QString &problem) const;
    // "NAME: text" on the error stream.
    void tell(const QString &text) const;
    // tell(reason); returns kNegative.
    int fail(const QString &reason) const;

private:
    QString m_name;
    Message m_usage;
};

// "lumo-cli" and its version.
QString versionLine();

} // namespace lumo::cli
