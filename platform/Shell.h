// Hands documents and folders to the desktop: the operator manual, the photo folder.
#pragma once

#include <QString>

namespace lumo::platform {

class Shell
{
public:
    virtual ~Shell() = default;

    // Opens the file with the desktop's default viewer. False when no viewer could be started.
    virtual bool openFile(const QString &path) = 0;

    // Opens the folder in the desktop's file manager. False when none could be started.
    virtual bool openFolder(const QString &path) = 0;
};

} // namespace lumo::platform
