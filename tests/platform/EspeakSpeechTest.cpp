// espeak-ng synthesising a prompt with the Mandarin voice, into samples instead of a speaker.
#include "platform/desktop/EspeakSpeech.h"

#include <algorithm>
#include <cstdlib>

#include <gtest/gtest.h>

using lumo::platform::EspeakSpeech;

TEST(EspeakSpeech, SpeaksAChinesePromptInMandarin)
{
    EspeakSpeech speech(EspeakSpeech::Output::Samples);
    ASSERT_TRUE(speech.isAvailable()) << speech.unavailableReason().toStdString();
    auto seconds = [&] { return double(speech.lastSamples().size()) / speech.sampleRate(); };

    ASSERT_TRUE(speech.speak(QStringLiteral("请张三同学，前来照相。李四同学准备")));
    EXPECT_GT(seconds(), 2.0);
    EXPECT_LT(seconds(), 8.0);
    const std::vector<short> &samples = speech.lastSamples();
    const short loudest = *std::max_element(
        samples.begin(), samples.end(), [](short a, short b) { return std::abs(a) < std::abs(b); });
    EXPECT_GT(std::abs(loudest), 1000) << "not silence";

    // Two syllables in Mandarin; a voice that falls back to English spells out each character,
    // which takes well over a second.
    ASSERT_TRUE(speech.speak(QStringLiteral("王五")));
    EXPECT_GT(seconds(), 0.2);
    EXPECT_LT(seconds(), 1.0);
    ASSERT_TRUE(speech.speak(QString()));
}

TEST(EspeakSpeech, SpeaksAgainWhenMadeASecondTimeInTheProcess)
{
    for (int round = 0; round < 2; ++round) {
        EspeakSpeech speech(EspeakSpeech::Output::Samples);
        ASSERT_TRUE(speech.speak(QStringLiteral("王五"))) << round;
        EXPECT_FALSE(speech.lastSamples().empty()) << round;
    }
}
