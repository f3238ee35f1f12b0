#include "platform/PlatformServices.h"

#include "platform/DesktopShell.h"
#include "platform/MessageBoxDialogs.h"

PlatformServices makeDesktopServices()
{
    PlatformServices services;
    services.shell = std::make_unique<DesktopShell>();
    services.dialogs = std::make_unique<MessageBoxDialogs>();
    return services;
}
