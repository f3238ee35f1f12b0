#include "platform/desktop/EspeakSpeech.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <espeak-ng/speak_lib.h>

#include <chrono>
#include <future>

namespace lumo::platform {

namespace {

const char *const kVoice = "cmn-latn-pinyin";

int collectSamples(short *samples, int count, espeak_EVENT *events)
{
    auto *target = static_cast<std::vector<short> *>(events->user_data);
    if (samples && count > 0 && target)
        target->insert(target->end(), samples, samples + count);
    return 0; // go on synthesising
}

} // namespace

EspeakSpeech::EspeakSpeech(Output output) : m_output(output)
{
    const espeak_AUDIO_OUTPUT mode =
        output == Output::Speaker ? AUDIO_OUTPUT_SYNCH_PLAYBACK : AUDIO_OUTPUT_SYNCHRONOUS;
    m_sampleRate = espeak_Initialize(mode, 0, nullptr, 0);
    if (m_sampleRate <= 0) {
        m_unavailableReason =
            QStringLiteral("语音引擎 espeak-ng 无法启动（没有声音设备？），语音提示不可用");
        return;
    }
    if (espeak_SetVoiceByName(kVoice) != EE_OK) {
        m_unavailableReason =
            QStringLiteral("没有找到普通话语音 %1，语音提示不可用").arg(QLatin1String(kVoice));
        return;
    }
    espeak_SetSynthCallback(collectSamples);
    m_available = true;
}

bool EspeakSpeech::synthesize(const QByteArray &utf8)
{
    m_samples.clear();
    void *target = m_output == Output::Samples ? &m_samples : nullptr;
    return espeak_Synth(utf8.constData(), std::size_t(utf8.size()) + 1, 0, POS_CHARACTER, 0,
                        espeakCHARS_UTF8, nullptr, target) == EE_OK &&
           espeak_Synchronize() == EE_OK;
}

bool EspeakSpeech::speak(const QString &text)
{
    if (!m_available)
        return false;
    const QByteArray utf8 = text.toUtf8();
    if (m_output == Output::Samples)
        return synthesize(utf8);

    // Speaking takes a second or two: the window repaints meanwhile, but takes no input.
    std::future<bool> spoken =
        std::async(std::launch::async, [this, utf8] { return synthesize(utf8); });
    while (spoken.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
    return spoken.get();
}

} // namespace lumo::platform
