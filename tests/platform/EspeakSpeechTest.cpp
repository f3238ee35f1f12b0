// espeak-ng synthesising a prompt with the Mandarin voice, into samples instead of a speaker.
#include "platform/EspeakSpeech.h"

#include <algorithm>
#include <cstdlib>

#include <gtest/gtest.h>

TEST(EspeakSpeech, SpeaksAChinesePromptInMandarin)
{
    EspeakSpeech speech(EspeakSpeech::Output::Samples);
    ASSERT_TRUE(speech.isAvailable()) << speech.unavailableReason().toStdString();
    ASSERT_TRUE(speech.speak(QStringLiteral("请张三同学，前来照相。李四同学准备")));
    const std::vector<short> &samples = speech.lastSamples();
    const double seconds = double(samples.size()) / speech.sampleRate();
    EXPECT_GT(seconds, 1.0);
    EXPECT_LT(seconds, 10.0);
    const short loudest = *std::max_element(
        samples.begin(), samples.end(), [](short a, short b) { return std::abs(a) < std::abs(b); });
    EXPECT_GT(std::abs(loudest), 1000) << "not silence";

    // A name alone is a short utterance; an empty prompt says nothing.
    ASSERT_TRUE(speech.speak(QStringLiteral("王五")));
    EXPECT_LT(double(speech.lastSamples().size()) / speech.sampleRate(), seconds);
    ASSERT_TRUE(speech.speak(QString()));
}
