// libcanberra answers with a result code, also on a machine without a sound device.
#include "platform/desktop/CanberraShutterSound.h"

#include <gtest/gtest.h>

using lumo::platform::CanberraShutterSound;

TEST(CanberraShutterSound, PlaysOrSaysWhyInsteadOfHanging)
{
    CanberraShutterSound sound;
    const bool played = sound.play(QStringLiteral(LUMO_SHUTTER_SOUND));
    EXPECT_EQ(played, sound.lastError().isEmpty()) << sound.lastError().toStdString();

    EXPECT_FALSE(sound.play(QStringLiteral("/nonexistent/QieZi.wav")));
    EXPECT_FALSE(sound.lastError().isEmpty());
}
