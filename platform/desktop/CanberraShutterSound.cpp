#include "platform/desktop/CanberraShutterSound.h"

#include <canberra.h>

namespace lumo::platform {

CanberraShutterSound::CanberraShutterSound()
{
    const int result = ca_context_create(&m_context);
    if (result != CA_SUCCESS) {
        m_context = nullptr;
        m_lastError = QString::fromUtf8(ca_strerror(result));
    }
}

CanberraShutterSound::~CanberraShutterSound()
{
    if (m_context)
        ca_context_destroy(m_context);
}

bool CanberraShutterSound::play(const QString &soundFile)
{
    if (!m_context)
        return false;
    const int result =
        ca_context_play(m_context, 0, CA_PROP_MEDIA_FILENAME, soundFile.toUtf8().constData(),
                        CA_PROP_MEDIA_ROLE, "event", nullptr);
    if (result != CA_SUCCESS) {
        m_lastError = QString::fromUtf8(ca_strerror(result));
        return false;
    }
    m_lastError.clear();
    return true;
}

} // namespace lumo::platform
