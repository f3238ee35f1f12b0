#include "platform/PlatformServices.h"

#include "platform/CanberraShutterSound.h"
#include "platform/DesktopShell.h"
#include "platform/EspeakSpeech.h"
#include "platform/MessageBoxDialogs.h"
#include "platform/QtScreenGrabber.h"
#include "platform/X11KeyPoller.h"

PlatformServices makeDesktopServices()
{
    PlatformServices services;
    services.shell = std::make_unique<DesktopShell>();
    services.dialogs = std::make_unique<MessageBoxDialogs>();
    services.keys = std::make_unique<X11KeyPoller>();
    services.screen = std::make_unique<QtScreenGrabber>();
    services.speech = std::make_unique<EspeakSpeech>();
    services.shutterSound = std::make_unique<CanberraShutterSound>();
    return services;
}

QStringList PlatformServices::unavailable() const
{
    QStringList reasons;
    if (!keys->isAvailable())
        reasons << keys->unavailableReason();
    if (!speech->isAvailable())
        reasons << speech->unavailableReason();
    return reasons;
}
