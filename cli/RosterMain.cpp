// lumo-cli-roster: "lumo-cli roster ..." as a program of its own.
#include "cli/CommandMain.h"
#include "cli/RosterCommand.h"

int main(int argc, char *argv[])
{
    return runRosterCommand(startCommand(argc, argv));
}
