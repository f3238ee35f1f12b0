// The desktop services Lumo uses, chosen in one place.
#pragma once

#include "platform/Dialogs.h"
#include "platform/Shell.h"

#include <memory>

struct PlatformServices
{
    std::unique_ptr<Shell> shell;
    std::unique_ptr<Dialogs> dialogs;
};

// The real services of this desktop.
PlatformServices makeDesktopServices();
