// lumo-cli: Lumo's core for scripts and batch work, without a window. It starts no Qt
// application object: the photo commands need none, and a photo conversion should not wait for
// one. The class-list commands run as programs of their own.
#include "cli/Command.h"
#include "cli/CommandMain.h"
#include "cli/CommandProgram.h"
#include "cli/PhotoCommand.h"

#include <array>
#include <cstdio>

namespace {

// Each command lives in a file of its own and adds one line here.
const std::array kCommands = {
    CliCommand{"photo", "convert, check and resample registry photos", runPhotoCommand, nullptr},
    CliCommand{"roster", "show a workbook's class list, or write photo marks into it", nullptr,
               "lumo-cli-roster"},
    CliCommand{"pack", "move a folder's photos into a checked class archive", nullptr,
               "lumo-cli-pack"},
    CliCommand{"report", "the class's contact sheet for the teacher to sign (PDF, CSV)", nullptr,
               "lumo-cli-report"},
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
    QStringList arguments = startCommand(argc, argv);
    if (arguments.isEmpty() || arguments.first() == u"--help" || arguments.first() == u"-h") {
        printUsage(arguments.isEmpty() ? stderr : stdout);
        return arguments.isEmpty() ? 2 : 0;
    }
    const QString name = arguments.takeFirst();
    for (const CliCommand &command : kCommands) {
        if (name != QLatin1String(command.name))
            continue;
        return command.run ? command.run(arguments)
                           : runCommandProgram(argc, argv, command.program, arguments);
    }
    std::fprintf(stderr, "lumo-cli: unknown command \"%s\"\n\n", qPrintable(name));
    printUsage(stderr);
    return 2;
}
