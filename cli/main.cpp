// lumo-cli: Lumo's core for scripts and batch work, without a window. It starts no Qt
// application object: the commands need none, and a photo conversion should not wait for one.
#include "cli/Command.h"
#include "cli/PackCommand.h"
#include "cli/PhotoCommand.h"
#include "cli/RosterCommand.h"

#include <array>
#include <clocale>
#include <cstdio>

#include <malloc.h>

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
    // System messages (strerror) in the user's language, as in a Qt application; the other
    // categories are not used and cost time to load.
    std::setlocale(LC_CTYPE, "");
    std::setlocale(LC_MESSAGES, "");
    // A batch reads and decodes picture after picture of the same size: freed memory stays with
    // the process for the next one instead of being returned and faulted in again.
    mallopt(M_MMAP_THRESHOLD, 32 << 20); // the largest glibc takes
    mallopt(M_TRIM_THRESHOLD, 128 << 20);
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
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
