// What every lumo-cli program does before its command runs.
#pragma once

#include <QStringList>

// Sets up the process for a command (locale for system messages, memory reuse) and returns the
// arguments after the program's name.
QStringList startCommand(int argc, char *argv[]);
