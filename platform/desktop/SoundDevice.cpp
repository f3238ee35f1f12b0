#include "platform/desktop/SoundDevice.h"

#include <QString>

#include <alsa/asoundlib.h>

#include <cerrno>

namespace lumo::platform {

namespace {

void ignoreAlsaMessage(const char *, int, const char *, int, const char *, ...) {}

QtMessageHandler g_qtMessages = nullptr;

void leaveOutSoundServiceMessage(QtMsgType type, const QMessageLogContext &context,
                                 const QString &message)
{
    if (!message.startsWith(QLatin1String("PulseAudioService:")))
        g_qtMessages(type, context, message);
}

} // namespace

bool soundDeviceAvailable()
{
    snd_lib_error_set_handler(ignoreAlsaMessage);
    if (!g_qtMessages)
        g_qtMessages = qInstallMessageHandler(leaveOutSoundServiceMessage);
    snd_pcm_t *device = nullptr;
    const int result = snd_pcm_open(&device, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK);
    if (result == 0)
        snd_pcm_close(device);
    // A device that another program holds is there all the same.
    return result == 0 || result == -EBUSY;
}

} // namespace lumo::platform
