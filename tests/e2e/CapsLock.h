// Whether the X server's Caps Lock is on: the capture key also toggles it.
#pragma once

bool isCapsLockOn();
