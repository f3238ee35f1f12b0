// Replays the fuzz corpus and every input that once crashed a reader: reading must end with a
// result or an error, and marking what reads must not fail in any other way.
#include "roster/Workbook.h"
#include "tests/roster/RosterFixtures.h"
#include "tests/support/TestFiles.h"

#include <QDirIterator>

#include <gtest/gtest.h>

TEST(CorpusReplay, EveryCorpusInputReadsOrIsRefused)
{
    QDirIterator files(fixturePath("fuzz"), QDir::Files, QDirIterator::Subdirectories);
    int count = 0;
    while (files.hasNext()) {
        const QByteArray bytes = readBytes(files.next());
        const SheetReadResult result = readWorkbook(bytes);
        if (result.ok())
            (void)markWorkbook(bytes, {1, 2, 3});
        ++count;
    }
    EXPECT_GT(count, 0);
}
