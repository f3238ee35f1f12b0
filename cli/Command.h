// A command of lumo-cli: "lumo-cli NAME ARGUMENTS...".
#pragma once

#include <QStringList>

struct CliCommand
{
    const char *name;
    const char *summary;
    // Runs in lumo-cli with the arguments after the command's name; returns the exit code.
    int (*run)(const QStringList &arguments);
    // Or: the program that runs the command with those arguments.
    const char *program;
};
