// The class-list commands (roster, pack, report) live in programs of their own, beside lumo-cli or
// in Lumo's library folder, so that lumo-cli itself loads no workbook, archive or Qt Gui library:
// scripts run "lumo-cli photo convert" once per photo, and its start-up is most of its time.
#pragma once

#include <QStringList>

// Runs the program with the arguments, its input and output those of lumo-cli, and returns its
// exit status; 2 with a message when it cannot be found or started.
int runCommandProgram(int argc, char *argv[], const char *program, const QStringList &arguments);
