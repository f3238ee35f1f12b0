// Runs a program as a script would, and keeps its exit status and output.
#pragma once

#include <QString>
#include <QStringList>

struct ProgramRun
{
    int exitCode = -1; // -1 when it did not end normally within the time
    QString out;
    QString err;
    QByteArray outBytes; // out as written, for file names that are not UTF-8
};

ProgramRun runProgram(const QString &program, const QStringList &arguments, int timeoutMs = 60000);
