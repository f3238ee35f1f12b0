// Writing a Compound File anew around one replaced stream.
#include "roster/CompoundFile.h"

#include "roster/LittleEndian.h"

namespace lumo::roster {

namespace {

constexpr std::uint32_t kSectorSize = 512;
constexpr std::uint32_t kMiniSectorSize = 64;
constexpr std::uint32_t kEntriesPerSector = kSectorSize / 4;
constexpr int kHeaderDifatEntries = 109;

// Sectors are handed out in order; the FAT records each chain.
class SectorLayout
{
public:
    // Places data in new sectors chained together; returns the first sector.
    std::uint32_t add(const QByteArray &data)
    {
        if (data.isEmpty())
            return CompoundFile::kEndOfChain;
        const std::uint32_t first = std::uint32_t(m_fat.size());
        const std::uint32_t count = std::uint32_t((data.size() + kSectorSize - 1) / kSectorSize);
        for (std::uint32_t i = 0; i < count; ++i)
            m_fat.push_back(i + 1 == count ? CompoundFile::kEndOfChain : first + i + 1);
        QByteArray padded = data;
        padded.resize(qsizetype(count) * kSectorSize, '\0');
        m_body += padded;
        return first;
    }
    void addMarked(std::uint32_t count, std::uint32_t mark)
    {
        for (std::uint32_t i = 0; i < count; ++i)
            m_fat.push_back(mark);
    }
    std::uint32_t sectorCount() const { return std::uint32_t(m_fat.size()); }
    std::vector<std::uint32_t> &fat() { return m_fat; }
    QByteArray &body() { return m_body; }

private:
    std::vector<std::uint32_t> m_fat;
    QByteArray m_body;
};

QByteArray tableBytes(const std::vector<std::uint32_t> &table, std::size_t entries)
{
    QByteArray bytes;
    bytes.reserve(qsizetype(entries * 4));
    for (std::size_t i = 0; i < entries; ++i)
        le::append32(bytes, i < table.size() ? table[i] : CompoundFile::kFreeSector);
    return bytes;
}

} // namespace

std::optional<QByteArray> rewriteCompoundFile(const CompoundFile &original,
                                              std::size_t replacedIndex,
                                              const QByteArray &replacement, QString *error)
{
    const auto &entries = original.entries();
    std::vector<QByteArray> contents(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i == replacedIndex) {
            contents[i] = replacement;
        } else if (entries[i].type == CompoundFileEntry::Stream) {
            const auto data = original.stream(i, error);
            if (!data)
                return std::nullopt;
            contents[i] = *data;
        }
    }

    SectorLayout layout;
    QByteArray miniStream;
    std::vector<std::uint32_t> miniFat;
    std::vector<std::uint32_t> starts(entries.size(), CompoundFile::kEndOfChain);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].type != CompoundFileEntry::Stream || contents[i].isEmpty())
            continue;
        const QByteArray &data = contents[i];
        if (std::uint32_t(data.size()) >= CompoundFile::kMiniStreamCutoff) {
            starts[i] = layout.add(data);
            continue;
        }
        const std::uint32_t first = std::uint32_t(miniFat.size());
        const std::uint32_t count =
            std::uint32_t((data.size() + kMiniSectorSize - 1) / kMiniSectorSize);
        for (std::uint32_t s = 0; s < count; ++s)
            miniFat.push_back(s + 1 == count ? CompoundFile::kEndOfChain : first + s + 1);
        QByteArray padded = data;
        padded.resize(qsizetype(count) * kMiniSectorSize, '\0');
        miniStream += padded;
        starts[i] = first;
    }
    starts[0] = layout.add(miniStream);
    const std::uint32_t miniFatEntries = std::uint32_t((miniFat.size() + kEntriesPerSector - 1) /
                                                       kEntriesPerSector * kEntriesPerSector);
    const std::uint32_t firstMiniFat = layout.add(tableBytes(miniFat, miniFatEntries));
    const std::uint32_t miniFatSectors = miniFatEntries / kEntriesPerSector;

    QByteArray directory;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        QByteArray raw = original.rawEntry(i);
        if (entries[i].type == CompoundFileEntry::Stream ||
            entries[i].type == CompoundFileEntry::Root) {
            const std::uint32_t size =
                std::uint32_t(i == 0 ? miniStream.size() : contents[i].size());
            le::put32(raw, 0x74, size == 0 ? CompoundFile::kEndOfChain : starts[i]);
            le::put32(raw, 0x78, size);
            le::put32(raw, 0x7C, 0);
        }
        directory += raw;
    }
    const std::uint32_t firstDirectory = layout.add(directory);

    // The FAT and DIFAT sectors describe themselves too, so grow them until they fit.
    std::uint32_t fatSectors = 0;
    std::uint32_t difatSectors = 0;
    for (;;) {
        const std::uint32_t total = layout.sectorCount() + fatSectors + difatSectors;
        const std::uint32_t neededFat = (total + kEntriesPerSector - 1) / kEntriesPerSector;
        const std::uint32_t neededDifat =
            neededFat > kHeaderDifatEntries
                ? (neededFat - kHeaderDifatEntries + kEntriesPerSector - 2) /
                      (kEntriesPerSector - 1)
                : 0;
        if (neededFat == fatSectors && neededDifat == difatSectors)
            break;
        fatSectors = neededFat;
        difatSectors = neededDifat;
    }
    const std::uint32_t firstFat = layout.sectorCount();
    layout.addMarked(fatSectors, CompoundFile::kFatSector);
    const std::uint32_t firstDifat = layout.sectorCount();
    layout.addMarked(difatSectors, CompoundFile::kDifatSector);
    layout.body() += tableBytes(layout.fat(), std::size_t(fatSectors) * kEntriesPerSector);

    std::vector<std::uint32_t> fatList;
    for (std::uint32_t i = 0; i < fatSectors; ++i)
        fatList.push_back(firstFat + i);
    for (std::uint32_t d = 0; d < difatSectors; ++d) {
        QByteArray sector;
        for (std::uint32_t k = 0; k < kEntriesPerSector - 1; ++k) {
            const std::size_t at = kHeaderDifatEntries + d * (kEntriesPerSector - 1) + k;
            le::append32(sector, at < fatList.size() ? fatList[at] : CompoundFile::kFreeSector);
        }
        le::append32(sector, d + 1 < difatSectors ? firstDifat + d + 1 : CompoundFile::kEndOfChain);
        layout.body() += sector;
    }

    QByteArray header(512, '\0');
    header.replace(0, 8, QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
    le::put16(header, 0x18, 0x003E);
    le::put16(header, 0x1A, 3);
    le::put16(header, 0x1C, 0xFFFE);
    le::put16(header, 0x1E, 9);
    le::put16(header, 0x20, 6);
    le::put32(header, 0x2C, fatSectors);
    le::put32(header, 0x30, firstDirectory);
    le::put32(header, 0x38, CompoundFile::kMiniStreamCutoff);
    le::put32(header, 0x3C, miniFatSectors ? firstMiniFat : CompoundFile::kEndOfChain);
    le::put32(header, 0x40, miniFatSectors);
    le::put32(header, 0x44, difatSectors ? firstDifat : CompoundFile::kEndOfChain);
    le::put32(header, 0x48, difatSectors);
    for (int i = 0; i < kHeaderDifatEntries; ++i)
        le::put32(header, 0x4C + 4 * i,
                  std::size_t(i) < fatList.size() ? fatList[std::size_t(i)]
                                                  : CompoundFile::kFreeSector);
    return header + layout.body();
}

} // namespace lumo::roster
