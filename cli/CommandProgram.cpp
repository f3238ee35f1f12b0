#include "cli/CommandProgram.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <cstdio>

int runCommandProgram(int argc, char *argv[], const char *program, const QStringList &arguments)
{
    QCoreApplication application(argc, argv);
    const QDir here(QCoreApplication::applicationDirPath());
    const QString name = QString::fromLatin1(program);
    // Beside lumo-cli in the build folder; in the library folder of an installation.
    QString path;
    for (const QString &candidate :
         {here.filePath(name), here.filePath(QStringLiteral("../libexec/lumo/") + name)}) {
        if (QFileInfo(candidate).isExecutable()) {
            path = candidate;
            break;
        }
    }
    if (path.isEmpty()) {
        std::fprintf(stderr, "lumo-cli: %s is not installed beside lumo-cli\n", program);
        return 2;
    }
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.setInputChannelMode(QProcess::ForwardedInputChannel);
    process.start(path, arguments);
    if (!process.waitForStarted(-1) || !process.waitForFinished(-1)) {
        std::fprintf(stderr, "lumo-cli: cannot run %s: %s\n", program,
                     qPrintable(process.errorString()));
        return 2;
    }
    if (process.exitStatus() != QProcess::NormalExit) {
        std::fprintf(stderr, "lumo-cli: %s ended abnormally\n", program);
        return 1;
    }
    return process.exitCode();
}
