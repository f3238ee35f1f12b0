// lumo-cli: Lumo's core for scripts and batch work, without a window.
#include "cli/Command.h"
#include "cli/PackCommand.h"
#include "cli/PhotoCommand.h"
#include "cli/RosterCommand.h"

#include <QCoreApplication>

#include <array>
#include <cstdio>
#include <cstring>

namespace {

// Each command lives in a file of its own and adds one line here.
const std::array kCommands = {
    CliCommand{"photo", "convert, check and resample registry photos", runPhotoCommand},
    CliCommand{"roster", "show a workbook's class list, or write photo marks into it",
               runRosterCommand},
    CliCommand{"pack", "move a folder's photos into a checked class archive", runPackCommand},
};

void printUsage(std::FILE *out)
{
    std::fprintf(out, "usage: lumo-cli COMMAND [ARGUMENTS...]\n\ncommands:\n");
    for (const CliCommand &command : kCommands)
        std::fprintf(out, "  %-10s %s\n", command.name, command.summary);
    std::fprintf(out, "\n\"lumo-cli COMMAND --help\" describes a command.\n");
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.isEmpty() || arguments.first() == u"--help" || arguments.first() == u"-h") {
        printUsage(arguments.isEmpty() ? stderr : stdout);
        return arguments.isEmpty() ? 2 : 0;
    }
    const QString name = arguments.takeFirst();
    for (const CliCommand &command : kCommands) {
        if (name == QLatin1String(command.name))
            return command.run(arguments);
    }
    std::fprintf(stderr, "lumo-cli: unknown command \"%s\"\n\n", qPrintable(name));
    printUsage(stderr);
    return 2;
}
