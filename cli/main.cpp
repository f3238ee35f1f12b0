// lumo-cli: Lumo's core for scripts and batch work, without a window. It starts no Qt
// application object: the photo commands need none, and a photo conversion should not wait for
// one. The class-list commands run as programs of their own.
#include "cli/Command.h"
#include "cli/CommandLine.h"
#include "cli/CommandProgram.h"
#include "cli/Messages.h"
#include "cli/PhotoCommand.h"
#include "cli/UsageTexts.h"

#include <array>

using namespace lumo::cli;

namespace {

// Each command lives in a file of its own and adds one line here.
const std::array kCommands = {
    CliCommand{"photo", runPhotoCommand, nullptr},
    CliCommand{"roster", nullptr, "lumo-cli-roster"},
    CliCommand{"pack", nullptr, "lumo-cli-pack"},
    CliCommand{"report", nullptr, "lumo-cli-report"},
};

} // namespace

int main(int argc, char *argv[])
{
    CommandLine line(QStringLiteral("lumo-cli"), usage::kCli);
    // The options after the command's name are the command's.
    line.parser.setOptionsAfterPositionalArgumentsMode(
        QCommandLineParser::ParseAsPositionalArguments);
    if (const auto done = line.parse(startCommand(argc, argv)))
        return *done;
    QStringList arguments = line.positional();
    if (arguments.isEmpty())
        return line.usageError(text(msg::kNoCommand));
    const QString name = arguments.takeFirst();
    for (const CliCommand &command : kCommands) {
        if (name == QLatin1String(command.name))
            return command.run ? command.run(arguments)
                               : runCommandProgram(command.program, arguments);
    }
    return line.usageError(text(msg::kUnknownCommand).arg(name));
}
