// espeak-ng synthesising a prompt with the Mandarin voice, into samples instead of a speaker.
#include "platform/desktop/EspeakSpeech.h"

#include <algorithm>
#include <cstdlib>

#include <gtest/gtest.h>

using lumo::platform::EspeakSpeech;

TEST(EspeakSpeech, SpeaksAChinesePromptInMandarinAlsoFromASecondEngineInTheProcess)
{
    for (int engine = 1; engine <= 2; ++engine) { // espeak-ng keeps one engine per process
        EspeakSpeech speech(EspeakSpeech::Output::Samples);
        ASSERT_TRUE(speech.isAvailable()) << speech.unavailableReason().toStdString();
        auto seconds = [&] { return double(speech.lastSamples().size()) / speech.sampleRate(); };

        ASSERT_TRUE(speech.speak(QStringLiteral("请张三同学，前来照相。李四同学准备"))) << engine;
        EXPECT_NEAR(seconds(), 5.0, 3.0) << engine; // 2 to 8 seconds
        const short loudest =
            std::ranges::max(speech.lastSamples(), {}, [](short s) { return std::abs(s); });
        EXPECT_GT(std::abs(loudest), 1000) << "not silence";

        // Two syllables in Mandarin; a voice that falls back to English spells out each
        // character, which takes well over a second.
        ASSERT_TRUE(speech.speak(QStringLiteral("王五"))) << engine;
        EXPECT_NEAR(seconds(), 0.6, 0.4) << engine; // 0.2 to 1 second
        ASSERT_TRUE(speech.speak(QString())) << engine;
    }
}
