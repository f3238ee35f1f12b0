// The check for a sound device against this computer's ALSA: with a sound card or without one,
// neither the check nor a sound played after it prints anything on the terminal.
#include "platform/desktop/SoundDevice.h"
#include "platform/desktop/CanberraShutterSound.h"

#include <gtest/gtest.h>

TEST(SoundDevice, IsCheckedAndUsedWithoutAlsaMessagesOnTheTerminal)
{
    testing::internal::CaptureStderr();
    const bool available = lumo::platform::soundDeviceAvailable();
    lumo::platform::CanberraShutterSound sound;
    sound.play(QStringLiteral(LUMO_SHUTTER_SOUND));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "sound device found: " << available;
}
