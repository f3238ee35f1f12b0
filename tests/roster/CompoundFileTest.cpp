#include "roster/CompoundFile.h"
#include "roster/BiffRecords.h"
#include "roster/LittleEndian.h"
#include "roster/Workbook.h"
#include "tests/roster/RosterFixtures.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

namespace {

constexpr qsizetype kSector = 512;

qsizetype sectorOffset(std::uint32_t sector)
{
    return (qsizetype(sector) + 1) * kSector;
}

// Offset in the file of the FAT entry of a sector (the fixtures have one FAT sector).
qsizetype fatEntryOffset(const QByteArray &file, std::uint32_t sector)
{
    return sectorOffset(le::u32(file, 0x4C)) + 4 * qsizetype(sector);
}

// Offset in the file of the directory entry with this name (the directory's first sector).
qsizetype directoryEntryOffset(const QByteArray &file, const QString &name)
{
    const qsizetype directory = sectorOffset(le::u32(file, 0x30));
    for (int i = 0; i < 4; ++i) {
        const qsizetype at = directory + 128 * i;
        QString entryName;
        for (int c = 0; c < le::u16(file, at + 0x40) / 2 - 1; ++c)
            entryName += QChar(le::u16(file, at + 2 * c));
        if (entryName == name)
            return at;
    }
    return -1;
}

QString readError(const QByteArray &bytes)
{
    return readWorkbook(bytes).error;
}

} // namespace

TEST(CompoundFile, DamagedContainersAreRefused)
{
    const QByteArray good = readBytes(fixturePath("class-xlwt.xls"));
    ASSERT_TRUE(readWorkbook(good).ok());

    QByteArray loop = good; // the directory's chain points back at itself
    const std::uint32_t directory = le::u32(good, 0x30);
    le::put32(loop, fatEntryOffset(good, directory), directory);
    EXPECT_TRUE(readError(loop).contains("broken sector chain")) << readError(loop).toStdString();

    QByteArray huge = good; // a stream claiming 2 GB in a 5 KB file
    le::put32(huge, directoryEntryOffset(good, "Workbook") + 0x78, 0x7FFFFFFF);
    EXPECT_TRUE(readError(huge).contains("shorter than its size"));

    QByteArray fatCount = good;
    le::put32(fatCount, 0x2C, 0xFFFFFFFF);
    EXPECT_TRUE(readError(fatCount).contains("more FAT sectors"));

    QByteArray outside = good; // a chain leaving the file
    le::put32(outside, directoryEntryOffset(good, "Workbook") + 0x74, 0x00FFFFFF);
    EXPECT_FALSE(readWorkbook(outside).ok());

    QByteArray sectorShift = good;
    le::put16(sectorShift, 0x1E, 30);
    EXPECT_TRUE(readError(sectorShift).contains("sector size"));
}

TEST(CompoundFile, TruncatedAndFlippedFilesNeverCrash)
{
    for (const QString &name :
         {QStringLiteral("class-xlwt.xls"), QStringLiteral("class-gnumeric.xls"),
          QStringLiteral("class-libreoffice.xls"), QStringLiteral("class-libreoffice.xlsx")}) {
        const QByteArray good = readBytes(fixturePath(name));
        for (qsizetype length = 0; length < good.size(); length += 61)
            (void)readWorkbook(good.first(length));
        // Every byte of the container header and of the first records, set to 0xFF in turn.
        for (qsizetype at = 0; at < std::min<qsizetype>(good.size(), 2048); ++at) {
            QByteArray flipped = good;
            flipped[at] = char(0xFF);
            (void)readWorkbook(flipped);
        }
    }
}

TEST(CompoundFile, RewriteKeepsEveryStreamAndTheDirectory)
{
    const QByteArray original = readBytes(fixturePath("class-libreoffice.xls"));
    QString error;
    const auto file = CompoundFile::open(original, &error);
    ASSERT_TRUE(file) << error.toStdString();
    const int workbook = file->findStream("Workbook");
    ASSERT_GE(workbook, 0);

    // The same workbook stream, a small one (into the mini stream) and one large enough to need
    // more FAT sectors than the header lists (DIFAT sectors).
    const QByteArray small(100, 'x');
    QByteArray large(8 * 1024 * 1024, '\0');
    for (qsizetype i = 0; i < large.size(); ++i)
        large[i] = char(i * 7);
    for (const QByteArray &replacement :
         {*file->stream(std::size_t(workbook), &error), small, large}) {
        const auto rewritten =
            rewriteCompoundFile(*file, std::size_t(workbook), replacement, &error);
        ASSERT_TRUE(rewritten) << error.toStdString();
        const auto reopened = CompoundFile::open(*rewritten, &error);
        ASSERT_TRUE(reopened) << error.toStdString();
        ASSERT_EQ(reopened->entries().size(), file->entries().size());
        for (std::size_t i = 0; i < file->entries().size(); ++i) {
            EXPECT_EQ(reopened->entries()[i].name, file->entries()[i].name);
            EXPECT_EQ(reopened->rawEntry(i).first(0x74), file->rawEntry(i).first(0x74));
            if (file->entries()[i].type != CompoundFileEntry::Stream)
                continue;
            const auto expected = int(i) == workbook ? replacement : *file->stream(i, &error);
            EXPECT_EQ(*reopened->stream(i, &error), expected) << i;
        }
    }
}
