// The desktop services Lumo uses, chosen in one place.
#pragma once

#include "platform/Dialogs.h"
#include "platform/KeyPoller.h"
#include "platform/ScreenGrabber.h"
#include "platform/Shell.h"
#include "platform/ShutterSound.h"
#include "platform/Speech.h"

#include <QStringList>

#include <memory>

struct PlatformServices
{
    std::unique_ptr<Shell> shell;
    std::unique_ptr<Dialogs> dialogs;
    std::unique_ptr<KeyPoller> keys;
    std::unique_ptr<ScreenGrabber> screen;
    std::unique_ptr<Speech> speech;
    std::unique_ptr<ShutterSound> shutterSound;

    // What cannot be done on this desktop, in the operator's words (empty when everything can).
    QStringList unavailable() const;
};

// The real services of this desktop.
PlatformServices makeDesktopServices();
