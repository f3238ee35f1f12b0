#include "settings/SettingsFile.h"
#include "tests/support/TestFiles.h"

#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A well-formed file: the defaults with the given lines replaced (raw line text, no quotes added).
QStringList defaultLines()
{
    QStringList lines;
    for (const QString &value : settings::defaultValues(QStringLiteral("/home/teacher")))
        lines << u'"' + value + u'"';
    lines[0] = QStringLiteral("\"orin\"");
    return lines;
}

QByteArray fileOf(const QStringList &lines)
{
    return gbk(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

} // namespace

TEST(SettingsFile, DefaultsEncodeAsTheFirstRunFile)
{
    const QByteArray expected = gbk(QStringLiteral(
        "\"orin\"\r\n\"180\"\r\n\"240\"\r\n\"3\"\r\n\"2400\"\r\n\"3285\"\r\n"
        "\"/home/teacher/学籍照片\"\r\n\"10\"\r\n\"请\"\r\n\"前来,,,,\"\r\n\"准备\"\r\n"
        "\"1\"\r\n\"1\"\r\n\"0\"\r\n\"/home/teacher/学籍照片备份\"\r\n\"0\"\r\n\"\"\r\n"
        "\"2\"\r\n\"2\"\r\n\"学生信息模板.xls\"\r\n\"1\"\r\n"));
    EXPECT_EQ(settings::encode(settings::defaultValues(QStringLiteral("/home/teacher"))), expected);
}

TEST(SettingsFile, ChineseValuesRoundTripThroughGbk)
{
    settings::SettingValues values = settings::defaultValues(QStringLiteral("/home/老师"));
    values[8] = QStringLiteral("请「张三」同学");
    values[6] = QStringLiteral("/媒体/照片 2026");
    const QByteArray bytes = settings::encode(values);
    EXPECT_TRUE(bytes.contains(gbk(QStringLiteral("请「张三」同学"))));
    const auto decoded = settings::decode(bytes);
    ASSERT_TRUE(decoded);
    EXPECT_EQ((*decoded)[8], values[8]);
    EXPECT_EQ((*decoded)[6], values[6]);
    EXPECT_EQ((*decoded)[14], QStringLiteral("/home/老师/学籍照片备份"));
}

TEST(SettingsFile, ReadsLinesOneToTwentyAndIgnoresTheRest)
{
    QStringList lines = defaultLines();
    lines[0] = QStringLiteral("anything at all");
    lines[15] = QStringLiteral("\"37\"");
    lines[16] = QStringLiteral("x"); // reserved: not examined
    lines << QStringLiteral("\"extra\"") << QStringLiteral("more");
    const auto values = settings::decode(fileOf(lines));
    ASSERT_TRUE(values);
    EXPECT_EQ((*values)[15], QStringLiteral("37"));
    EXPECT_EQ((*values)[1], QStringLiteral("180"));
    EXPECT_EQ((*values)[20], QStringLiteral("1"));
}

TEST(SettingsFile, StripsFirstAndLastCharacterWhateverTheyAre)
{
    QStringList lines = defaultLines();
    lines[3] = QStringLiteral("(5)");
    const auto values = settings::decode(fileOf(lines));
    ASSERT_TRUE(values);
    EXPECT_EQ((*values)[3], QStringLiteral("5"));
}

TEST(SettingsFile, AcceptsLineFeedOnlyFilesAndSwitchTexts)
{
    QStringList lines = defaultLines();
    lines[11] = QStringLiteral("\" 2 \"");
    lines[12] = QStringLiteral("\"0.6\"");
    const auto values = settings::decode(gbk(lines.join(u'\n')));
    ASSERT_TRUE(values);
    EXPECT_EQ((*values)[11], QStringLiteral("2"));
    EXPECT_EQ((*values)[12], QStringLiteral("1"));
}

TEST(SettingsFile, FailuresThatResetTheFile)
{
    struct Case
    {
        const char *what;
        int line;
        QString text;
    };
    const Case cases[] = {
        {"empty line 3", 3, QString()},
        {"empty line 19", 19, QString()},
        {"one character", 7, QStringLiteral("\"")},
        {"switch not a number", 11, QStringLiteral("\"yes\"")},
        {"switch 3", 12, QStringLiteral("\"3\"")},
        {"switch -1", 20, QStringLiteral("\"-1\"")},
        {"index not a number", 15, QStringLiteral("\"abc\"")},
        {"index beyond 16 bits", 15, QStringLiteral("\"32768\"")},
    };
    for (const Case &c : cases) {
        QStringList lines = defaultLines();
        lines[c.line] = c.text;
        EXPECT_FALSE(settings::decode(fileOf(lines))) << c.what;
    }

    QStringList twenty = defaultLines();
    twenty.removeLast();
    EXPECT_FALSE(settings::decode(fileOf(twenty))) << "20 lines";
    EXPECT_FALSE(settings::decode(QByteArray())) << "empty file";
}

TEST(SettingsFile, SurvivesBinaryAndHugeFiles)
{
    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
        binary += char((i * 37) & 0xff);
    EXPECT_FALSE(settings::decode(binary));

    QByteArray huge = fileOf(defaultLines());
    huge += QByteArray(settings::kMaxFileBytes, 'x');
    EXPECT_FALSE(settings::decode(huge));

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("xueji_orin.ini"));
    writeBytes(path, QByteArray(8 * 1024 * 1024, '\n'));
    EXPECT_FALSE(settings::readFile(path));
}

TEST(SettingsFile, SeparatorsInAValueNeverShiftTheLinesAfterIt)
{
    settings::SettingValues values = settings::defaultValues(QStringLiteral("/home/t"));
    values[6] = QStringLiteral("/photos|class\r\n2");
    values[16] = QStringLiteral("ignored");
    const QByteArray bytes = settings::encode(values);
    EXPECT_FALSE(bytes.contains('|'));
    EXPECT_EQ(bytes.count("\r\n"), settings::kLineCount);
    const auto decoded = settings::decode(bytes);
    ASSERT_TRUE(decoded);
    EXPECT_EQ((*decoded)[6], QStringLiteral("/photosclass2"));
    EXPECT_EQ((*decoded)[7], QStringLiteral("10"));
    EXPECT_TRUE((*decoded)[16].isEmpty());

    // A hand-edited "|" inside a line is dropped on reading, not taken as a line end.
    QStringList lines = defaultLines();
    lines[8] = QStringLiteral("\"请|\"");
    const auto read = settings::decode(fileOf(lines));
    ASSERT_TRUE(read);
    EXPECT_EQ((*read)[8], QStringLiteral("请"));
    EXPECT_EQ((*read)[9], QStringLiteral("前来,,,,"));
}

TEST(SettingsFile, StorableValues)
{
    EXPECT_TRUE(settings::isStorable(u"/home/老师/学籍照片 2"));
    EXPECT_FALSE(settings::isStorable(u"a|b"));
    EXPECT_FALSE(settings::isStorable(u"a\nb"));
    EXPECT_FALSE(settings::isStorable(u"照片😀")); // not in GBK
}

TEST(SettingsFile, WriteReplacesTheFileWhole)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("xueji_orin.ini"));
    writeBytes(path, QByteArray(100000, 'x'));
    const settings::SettingValues values = settings::defaultValues(QStringLiteral("/h"));
    ASSERT_TRUE(settings::writeFile(path, values));
    EXPECT_EQ(readBytes(path), settings::encode(values));
    EXPECT_FALSE(settings::writeFile(folder.filePath(QStringLiteral("missing/x.ini")), values));
}
