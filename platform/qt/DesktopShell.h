// Shell through the desktop's URL handlers (xdg-open on Linux).
#pragma once

#include "platform/Shell.h"

namespace lumo::platform {

class DesktopShell : public Shell
{
public:
    bool openFile(const QString &path) override;
    bool openFolder(const QString &path) override;
};

} // namespace lumo::platform
