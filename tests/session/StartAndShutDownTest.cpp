// Start-up and shut-down: the settings file, the frame's size, the class workbook's marks.
#include "roster/RosterImport.h"
#include "settings/SettingsFile.h"
#include "tests/session/SessionFixture.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

QString settingsIn(const QTemporaryDir &folder)
{
    return folder.filePath(u"config/xueji_orin.ini"_s);
}

} // namespace

TEST_F(SessionTest, FirstRunWritesTheDefaultsAndSizesTheFrame)
{
    start();
    const settings::SessionSettings defaults = settings::SessionSettings::defaults(home.path());
    EXPECT_EQ(readBytes(settingsIn(program)), settings::encode(defaults));
    EXPECT_TRUE(QFileInfo(home.filePath(u"学籍照片备份"_s)).isDir());
    EXPECT_EQ(session->frame().photoSize(), (frame::PhotoSize{180, 240})) << "not 180 x 221";
    EXPECT_EQ(session->frame().windowSizeTwips(), QSize(3000, 3900));
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_TRUE(session->lumoSettings().bestQuality) << "a new installation";
}

TEST_F(SessionTest, StoredSettingsComeBackAndDamagedOnesAreReset)
{
    settings::SessionSettings stored = settings::SessionSettings::defaults(home.path());
    stored.photoWidth = u"390"_s;
    stored.photoHeight = u"480"_s;
    stored.outerBorderWidth = u"51"_s;
    stored.currentIndex = 37;
    QDir(program.path()).mkpath(u"config"_s);
    writeBytes(settingsIn(program), settings::encode(stored));
    start();
    EXPECT_EQ(readBytes(settingsIn(program)), settings::encode(stored)) << "a good file stays";
    EXPECT_EQ(session->frame().windowSizeTwips(), QSize(6150, 7500));
    EXPECT_EQ(session->settings().outerBorderWidth, u"3"_s) << "the box's rule applies";
    EXPECT_EQ(session->currentIndex(), 37);
    EXPECT_FALSE(session->lumoSettings().bestQuality) << "an installation from before";
    EXPECT_EQ(session->pane().numberText, u"000"_s) << "the view moves only later";

    QByteArray damaged = settings::encode(stored);
    damaged.chop(QByteArray("\"1\"\r\n").size()); // line 20 missing
    writeBytes(settingsIn(program), damaged);
    start();
    EXPECT_EQ(session->settings().photoWidth, u"180"_s);
    EXPECT_EQ(readBytes(settingsIn(program)),
              settings::encode(settings::SessionSettings::defaults(home.path())));
    EXPECT_TRUE(dialogs.messages.isEmpty()) << "reset silently";

    // A pipe in the file's place neither blocks the start nor survives it.
    QFile::remove(settingsIn(program));
    ASSERT_EQ(::mkfifo(QFile::encodeName(settingsIn(program)).constData(), 0600), 0);
    start();
    EXPECT_TRUE(QFileInfo(settingsIn(program)).isFile());
    EXPECT_EQ(session->settings().photoWidth, u"180"_s);
}

TEST_F(SessionTest, ShutDownSavesTheSettingsAndWritesTheMarksBack)
{
    start();
    importClass(8);
    session->setPhotoWidth(u"390"_s);
    session->setSetting(&settings::SessionSettings::promptBetweenNames, u"同学，请到前面来"_s);
    // Photos of students 1 and 7 exist; the view finds them when it moves past them.
    writeBytes(photoOf(1), "photo");
    writeBytes(photoOf(7), "photo");
    session->goTo(2);
    session->goTo(8);
    session->shutDown();
    session->shutDown(); // a second close does nothing more

    const std::optional<settings::SessionSettings> saved = settings::readFile(settingsIn(program));
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->photoHeight, u"480"_s);
    EXPECT_EQ(saved->frameWidthTwips, u"5850"_s);
    EXPECT_EQ(saved->frameHeightTwips, u"7200"_s);
    EXPECT_EQ(saved->promptBetweenNames, u"同学，请到前面来"_s);
    EXPECT_EQ(saved->currentIndex, 8);

    roster::RosterTable marked;
    ASSERT_TRUE(roster::importRoster(program.filePath(u"class.csv"_s), marked).ok);
    EXPECT_EQ(marked.photoMark(1), roster::kPhotoTakenMark);
    EXPECT_EQ(marked.photoMark(7), roster::kPhotoTakenMark);
    EXPECT_TRUE(marked.photoMark(2).isEmpty());
}

TEST_F(SessionTest, MarksThatCannotBeWrittenAreRetriedOrKeptBesideTheWorkbook)
{
    start();
    importClass(2);
    writeBytes(photoOf(1), "photo");
    session->goTo(2);
    // The class list became something that cannot be marked.
    QFile::remove(program.filePath(u"class.csv"_s));
    QDir(program.path()).mkdir(u"class.csv"_s);
    dialogs.chosen = {0, 1}; // try again, then keep the marks in a file
    session->shutDown();
    ASSERT_EQ(dialogs.choices.size(), 2);
    EXPECT_TRUE(dialogs.choices[0].contains(program.filePath(u"class.csv"_s)));
    const QByteArray kept = readBytes(program.filePath(u"class-照片标记.csv"_s));
    EXPECT_EQ(kept, "\xEF\xBB\xBF" + u"学生1,%1,是\r\n"_s.arg(idOf(1)).toUtf8());
}

TEST_F(SessionTest, SettingsGoToTheUsersFolderOrTheOperatorIsTold)
{
    start(u"/proc/self"_s); // a program folder nobody can write into
    EXPECT_EQ(session->settingsFilePath(), settingsIn(user));
    session->setSetting(&settings::SessionSettings::promptBeforeName, u"有请"_s);
    session->shutDown();
    start(u"/proc/self"_s);
    EXPECT_EQ(session->settings().promptBeforeName, u"有请"_s);
    EXPECT_TRUE(dialogs.messages.isEmpty());

    // Both the program folder's settings folder and the user's are taken away while Lumo runs.
    start();
    QDir(program.filePath(u"config"_s)).removeRecursively();
    writeBytes(program.filePath(u"config"_s), "in the way");
    QDir(user.filePath(u"config"_s)).removeRecursively();
    writeBytes(user.filePath(u"config"_s), "in the way");
    session->shutDown();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages.first().startsWith(u"设置无法保存"_s));
}
