// The class-list commands (roster, pack, report) live in programs of their own, beside lumo-cli or
// in Lumo's library folder, so that lumo-cli itself loads no workbook, archive or Qt Gui library:
// scripts run "lumo-cli photo convert" once per photo, and its start-up is most of its time.
#pragma once

#include <QStringList>

// Replaces lumo-cli by the program, given the arguments as the bytes they came as; returns only
// when the program cannot be found or started, with a message, as a usage error.
int runCommandProgram(const char *program, const QStringList &arguments);
