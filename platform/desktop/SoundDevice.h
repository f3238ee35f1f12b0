// Whether this computer has a sound device for speech and the shutter sound. Without one, ALSA
// prints a page of errors on the terminal for every sound it cannot play: Lumo plays nothing then
// and says once that sound is off.
#pragma once

namespace lumo::platform {

// Opens and closes the default playback device. From then on the sound libraries' own messages
// are not printed: ALSA's, and Qt Multimedia's when no PulseAudio server answers (Lumo plays no
// sound through Qt). The calls that fail say so through their results.
bool soundDeviceAvailable();

} // namespace lumo::platform
