// Mandarin speech with espeak-ng and its voice "cmn-latn-pinyin", which reads Chinese characters
// in Mandarin (the "zh" voice needs MBROLA, and "cmn" reads some syllables in English).
// espeak-ng keeps one engine per process: make one EspeakSpeech at a time. The engine is never
// shut down: espeak-ng 1.51 cannot start again after espeak_Terminate (it waits forever).
#pragma once

#include "platform/Speech.h"

#include <vector>

namespace lumo::platform {

class EspeakSpeech : public Speech
{
public:
    enum class Output {
        Speaker, // played on the sound device
        Samples, // kept as 16-bit samples (lastSamples), for checking the voice
    };

    explicit EspeakSpeech(Output output = Output::Speaker);

    bool isAvailable() const override { return m_available; }
    QString unavailableReason() const override { return m_unavailableReason; }

    // While speaking, the window keeps painting; no input is handled until it is done.
    bool speak(const QString &text) override;

    const std::vector<short> &lastSamples() const { return m_samples; }
    int sampleRate() const { return m_sampleRate; }

private:
    bool synthesize(const QByteArray &utf8);

    Output m_output;
    bool m_available = false;
    int m_sampleRate = 0;
    QString m_unavailableReason;
    std::vector<short> m_samples;
};

} // namespace lumo::platform
