#include "tests/e2e/CapsLock.h"

#include <X11/XKBlib.h>

bool isCapsLockOn()
{
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    unsigned indicators = 0;
    const bool on =
        XkbGetIndicatorState(display, XkbUseCoreKbd, &indicators) == Success && (indicators & 1);
    XCloseDisplay(display);
    return on;
}
