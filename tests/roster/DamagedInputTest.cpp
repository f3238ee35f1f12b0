// Damaged workbooks are refused, never read without end or past their bytes: hand-made damage to
// the Compound File, cut and flipped fixtures, the fuzz corpus; and the Compound File writer.
#include "roster/CompoundFile.h"
#include "roster/LittleEndian.h"
#include "roster/Workbook.h"
#include "tests/roster/RosterFixtures.h"
#include "tests/support/TestFiles.h"

#include <QDirIterator>
#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace lumo::roster;

TEST(DamagedInput, CompoundFileDamageIsRefusedWithItsReason)
{
    const QByteArray good = readBytes(fixturePath("class-xlwt.xls"));
    QString error;
    const auto file = CompoundFile::open(good, &error);
    ASSERT_TRUE(file) << error.toStdString();
    const std::uint32_t directory = le::u32(good, 0x30);
    // The fixture's directory starts with the Workbook entry's sector; it has one FAT sector.
    const qsizetype workbookEntry = (directory + 1) * 512 + 128 * file->findStream("Workbook");
    const qsizetype directoryFatEntry = (le::u32(good, 0x4C) + 1) * 512 + 4 * directory;

    const std::tuple<qsizetype, std::uint32_t, const char *> damages[] = {
        {directoryFatEntry, directory, "broken sector chain"},       // the chain points at itself
        {workbookEntry + 0x74, 0x00FFFFFF, "broken sector chain"},   // it leaves the file
        {workbookEntry + 0x78, 0x7FFFFFFF, "shorter than its size"}, // 2 GB in a 5 KB file
        {0x2C, 0xFFFFFFFF, "more FAT sectors"},
        {0x1E, 0x0006001E, "sector size"}, // a sector shift of 30
    };
    for (const auto &[at, value, reason] : damages) {
        QByteArray damaged = good;
        le::put32(damaged, at, value);
        const QString error = readWorkbook(damaged).error;
        EXPECT_TRUE(error.contains(QLatin1String(reason))) << reason << ": " << error.toStdString();
    }
}

TEST(DamagedInput, CutFlippedAndCorpusInputsReadOrAreRefused)
{
    // Whatever reads is marked too.
    auto replay = [](const QByteArray &bytes) {
        if (readWorkbook(bytes).ok())
            (void)markWorkbook(bytes, {1, 2, 3});
    };
    for (const char *name : {"class-xlwt.xls", "class-gnumeric.xls", "class-libreoffice.xls",
                             "class-libreoffice.xlsx"}) {
        const QByteArray good = readBytes(fixturePath(name));
        for (qsizetype length = 0; length < good.size(); length += 61)
            replay(good.first(length));
        // Every byte of the container header and of the first records, set to 0xFF in turn.
        for (qsizetype at = 0; at < std::min<qsizetype>(good.size(), 2048); ++at)
            replay(QByteArray(good).replace(at, 1, "\xFF"));
    }
    // tests/data/roster/fuzz: what ./fuzz found, crashes included once fixed.
    QDirIterator files(fixturePath("fuzz"), QDir::Files, QDirIterator::Subdirectories);
    int count = 0;
    for (; files.hasNext(); ++count)
        replay(readBytes(files.next()));
    EXPECT_GT(count, 0);
}

TEST(CompoundFileWriter, KeepsEveryStreamAndTheDirectory)
{
    const QByteArray original = readBytes(fixturePath("class-libreoffice.xls"));
    QString error;
    const auto file = CompoundFile::open(original, &error);
    ASSERT_TRUE(file) << error.toStdString();
    const int workbook = file->findStream("Workbook");
    ASSERT_GE(workbook, 0);

    // The same workbook stream, a small one (into the mini stream) and one large enough to need
    // more FAT sectors than the header lists (DIFAT sectors).
    QByteArray large(8 * 1024 * 1024, '\0'); // random: no two sectors alike
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32 *>(large.data()), large.size() / 4);
    for (const QByteArray &replacement :
         {*file->stream(std::size_t(workbook), &error), QByteArray(100, 'x'), large}) {
        const auto rewritten =
            rewriteCompoundFile(*file, std::size_t(workbook), replacement, &error);
        ASSERT_TRUE(rewritten) << error.toStdString();
        const auto reopened = CompoundFile::open(*rewritten, &error);
        ASSERT_TRUE(reopened) << error.toStdString();
        ASSERT_EQ(reopened->entries().size(), file->entries().size());
        for (std::size_t i = 0; i < file->entries().size(); ++i) {
            EXPECT_EQ(reopened->rawEntry(i).first(0x74), file->rawEntry(i).first(0x74));
            if (file->entries()[i].type != CompoundFileEntry::Stream)
                continue;
            const auto expected = int(i) == workbook ? replacement : *file->stream(i, &error);
            EXPECT_EQ(*reopened->stream(i, &error), expected) << i;
        }
    }
}
