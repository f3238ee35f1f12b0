// lumo-cli-roster: "lumo-cli roster ..." as a program of its own.
#include "cli/Console.h"
#include "cli/RosterCommand.h"

int main(int argc, char *argv[])
{
    return runRosterCommand(lumo::cli::startCommand(argc, argv));
}
