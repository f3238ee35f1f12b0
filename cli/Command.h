// A command of lumo-cli: "lumo-cli NAME ARGUMENTS...".
#pragma once

#include <QStringList>

#include <cstdio>

struct CliCommand
{
    const char *name;
    const char *summary;
    // Runs with the arguments after the command's name; returns the process's exit code.
    int (*run)(const QStringList &arguments);
};
