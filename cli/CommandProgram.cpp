#include "cli/CommandProgram.h"

#include "cli/Console.h"
#include "cli/Messages.h"
#include "common/NativePath.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include <unistd.h>

using namespace lumo;

int runCommandProgram(const char *program, const QStringList &arguments)
{
    char self[4096];
    const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self);
    const QByteArray exe(self, length > 0 ? length : 0);
    const QByteArray here = exe.left(exe.lastIndexOf('/') + 1);
    // Beside lumo-cli in the build folder; in the library folder of an installation.
    QByteArray path;
    for (const QByteArray &candidate : {here + program, here + "../libexec/lumo/" + program}) {
        if (::access(candidate.constData(), X_OK) == 0) {
            path = candidate;
            break;
        }
    }
    if (path.isEmpty()) {
        cli::printLine(stderr, QStringLiteral("lumo-cli: ") +
                                   cli::text(cli::msg::kNotInstalled).arg(QLatin1String(program)));
        return cli::kUsage;
    }
    std::vector<QByteArray> encoded{path};
    for (const QString &argument : arguments)
        encoded.push_back(common::encodePath(argument));
    std::vector<char *> argv;
    for (QByteArray &argument : encoded)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::fflush(stdout);
    ::execv(path.constData(), argv.data());
    cli::printLine(
        stderr, QStringLiteral("lumo-cli: ") +
                    cli::text(cli::msg::kCannotRun)
                        .arg(QLatin1String(program), QString::fromLocal8Bit(std::strerror(errno))));
    return cli::kUsage;
}
