// lumo-cli-pack: "lumo-cli pack ..." as a program of its own.
#include "cli/Console.h"
#include "cli/PackCommand.h"

int main(int argc, char *argv[])
{
    return runPackCommand(lumo::cli::startCommand(argc, argv));
}
