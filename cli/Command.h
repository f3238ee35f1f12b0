// A command of lumo-cli: "lumo-cli NAME ARGUMENTS...".
#pragma once

#include <QStringList>

struct CliCommand
{
    const char *name;
    // Runs in lumo-cli with the arguments after the command's name; returns the exit status.
    int (*run)(const QStringList &arguments);
    // Or: the program that runs the command with those arguments.
    const char *program;
};
