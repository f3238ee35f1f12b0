// libcanberra answers with a result, also on a machine without a sound device.
#include "platform/CanberraShutterSound.h"
#include "tests/support/TestFiles.h"

#include <QDataStream>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A 50 ms, 8 kHz, 16-bit mono click.
QByteArray shortWave()
{
    QByteArray samples;
    for (int i = 0; i < 400; ++i) {
        const qint16 value = qint16(i < 40 ? 12000 * ((i % 8) < 4 ? 1 : -1) : 0);
        samples.append(char(value & 0xff)).append(char((value >> 8) & 0xff));
    }
    QByteArray wave;
    QDataStream out(&wave, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + samples.size());
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << quint32(8000) << quint32(16000) << quint16(2)
        << quint16(16);
    out.writeRawData("data", 4);
    out << quint32(samples.size());
    out.writeRawData(samples.constData(), int(samples.size()));
    return wave;
}

} // namespace

TEST(CanberraShutterSound, ReportsInsteadOfHanging)
{
    QTemporaryDir folder;
    const QString click = folder.filePath(QStringLiteral("QieZi.wav"));
    writeBytes(click, shortWave());

    CanberraShutterSound sound;
    const bool played = sound.play(click);
    EXPECT_EQ(played, sound.lastError().isEmpty()) << sound.lastError().toStdString();

    EXPECT_FALSE(sound.play(folder.filePath(QStringLiteral("missing.wav"))));
    EXPECT_FALSE(sound.lastError().isEmpty());
}
