// The settings file byte for byte, what makes a file be reset, and where it lives.
#include "settings/SettingsFile.h"
#include "settings/SettingsLocation.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumo::settings;
using namespace Qt::Literals::StringLiterals;

namespace {

// The lines of a well-formed file, quotes included; tests replace some of them.
QStringList defaultLines()
{
    return (uR"("orin" "180" "240" "3" "2400" "3285" "/h/学籍照片" "10" "请" "前来,,,,")"
            uR"( "准备" "1" "1" "0" "/h/学籍照片备份" "0" "" "2" "2" "学生信息模板.xls" "1")"_s)
        .split(u' ');
}

QByteArray fileOf(const QStringList &lines)
{
    return gbk(lines.join(u"\r\n"_s) + u"\r\n"_s);
}

} // namespace

TEST(SettingsFile, DefaultsAreTheFirstRunFileAndValuesRoundTripThroughGbk)
{
    EXPECT_EQ(encode(SessionSettings::defaults(u"/h"_s)), fileOf(defaultLines()));

    SessionSettings settings = SessionSettings::defaults(u"/home/老师"_s);
    settings.promptBeforeName = u"请「张三」同学"_s;
    settings.outputFolder = u"/媒体/照片 2026"_s;
    settings.voiceOff = 2;
    settings.currentIndex = -37;
    const std::optional<SessionSettings> decoded = decode(encode(settings));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(*decoded, settings);
}

TEST(SettingsFile, ReadsLinesOneToTwentyAsTheyStand)
{
    QStringList lines = defaultLines();
    lines[0] = u"anything at all"_s;
    lines[3] = u"(5)"_s;      // first and last character dropped, whatever they are
    lines[11] = u"\" 2 \""_s; // switch texts are numbers
    lines[12] = u"\"0.6\""_s;
    lines[15] = u"\"37\""_s;
    lines[16] = u"x"_s; // reserved: never read
    lines << u"\"extra\""_s << u"more"_s;
    const std::optional<SessionSettings> settings = decode(gbk(lines.join(u'\n')));
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->moveStep, u"5"_s);
    EXPECT_EQ(settings->voiceOff, 2);
    EXPECT_EQ(settings->compress, 1);
    EXPECT_EQ(settings->currentIndex, 37);
    EXPECT_EQ(settings->adjustDpi, 1);
}

TEST(SettingsFile, DamagedFilesAreReset)
{
    const std::pair<int, QString> damaged[] = {
        {7, u"\""_s}, {11, u"\"yes\""_s}, {12, u"\"3\""_s}, {20, u"\"-1\""_s}, {15, u"\"32768\""_s},
    };
    for (const auto &[line, text] : damaged) {
        QStringList lines = defaultLines();
        lines[line] = text;
        EXPECT_FALSE(decode(fileOf(lines))) << line << " " << text.toStdString();
    }
    QStringList twenty = defaultLines();
    twenty.removeLast();
    EXPECT_FALSE(decode(fileOf(twenty)));
    EXPECT_FALSE(decode(QByteArray()));

    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
        binary += char((i * 37) & 0xff);
    EXPECT_FALSE(decode(binary));
    EXPECT_FALSE(decode(fileOf(defaultLines()) + QByteArray(kMaxFileBytes, 'x')));
}

TEST(SettingsFile, SeparatorsInAValueNeverShiftTheLinesAfterIt)
{
    SessionSettings settings = SessionSettings::defaults(u"/h"_s);
    settings.outputFolder = u"/photos|class\r\n2"_s;
    const QByteArray bytes = encode(settings);
    EXPECT_FALSE(bytes.contains('|'));
    EXPECT_EQ(bytes.count("\r\n"), kLineCount);
    const std::optional<SessionSettings> decoded = decode(bytes);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->outputFolder, u"/photosclass2"_s);

    // A hand-edited "|" inside a line is dropped on reading, not taken as a line end.
    QStringList lines = defaultLines();
    lines[8] = u"\"请|\""_s;
    const std::optional<SessionSettings> read = decode(fileOf(lines));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->promptBeforeName, u"请"_s);
    EXPECT_EQ(read->promptBetweenNames, u"前来,,,,"_s);

    EXPECT_TRUE(isStorable(u"/home/老师/学籍照片 2"));
    EXPECT_FALSE(isStorable(u"a|b"));
    EXPECT_FALSE(isStorable(u"a\nb"));
    EXPECT_FALSE(isStorable(u"照片😀")); // not in GBK
}

TEST(SettingsLocation, ProgramFolderWhenWritableElseTheUsers)
{
    QTemporaryDir program, user;
    const QString programConfig = QDir(program.path()).filePath(u"config"_s);
    EXPECT_EQ(chooseSettingsFolder(program.path(), user.path()), programConfig);
    EXPECT_TRUE(QDir(programConfig).isEmpty()) << "the write test leaves nothing behind";

    const QString userConfig = QDir(user.path()).filePath(u"config"_s);
    // A folder nobody can create files in, not even the super-user.
    EXPECT_EQ(chooseSettingsFolder(u"/proc/self"_s, user.path()), userConfig);
    EXPECT_TRUE(QFileInfo(userConfig).isDir());
    QTemporaryDir blocked;
    writeBytes(QDir(blocked.path()).filePath(u"config"_s), "not a folder");
    EXPECT_EQ(chooseSettingsFolder(blocked.path(), user.path()), userConfig);

    // Installed: the system's program folder is never written, whoever runs Lumo.
    const QString installed = QStringLiteral(LUMO_INSTALLED_PROGRAM_FOLDER);
    EXPECT_EQ(chooseSettingsFolder(installed, user.path()), userConfig);
    EXPECT_FALSE(QFileInfo::exists(QDir(installed).filePath(u"config"_s)));
}
