#include "cli/CommandMain.h"

#include <clocale>

#include <malloc.h>

QStringList startCommand(int argc, char *argv[])
{
    // System messages (strerror) in the user's language, as in a Qt application; the other
    // categories are not used and cost time to load.
    std::setlocale(LC_CTYPE, "");
    std::setlocale(LC_MESSAGES, "");
    // A batch reads and decodes picture after picture of the same size: freed memory stays with
    // the process for the next one instead of being returned and faulted in again.
    mallopt(M_MMAP_THRESHOLD, 32 << 20); // the largest glibc takes
    mallopt(M_TRIM_THRESHOLD, 128 << 20);
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}
