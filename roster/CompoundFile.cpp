#include "roster/CompoundFile.h"

#include "roster/LittleEndian.h"

namespace lumo::roster {

namespace {

constexpr char kSignature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
constexpr int kHeaderSize = 512;
constexpr int kHeaderDifatEntries = 109;
constexpr std::uint32_t kMiniSectorSize = 64;

} // namespace

std::optional<CompoundFile> CompoundFile::open(const QByteArray &bytes, QString *error)
{
    CompoundFile file;
    file.m_bytes = bytes;
    if (!file.readHeaderAndFat(error) || !file.readDirectory(error) || !file.readMiniStream(error))
        return std::nullopt;
    return file;
}

bool CompoundFile::readHeaderAndFat(QString *error)
{
    const QByteArray &b = m_bytes;
    if (b.size() < kHeaderSize || !b.startsWith(QByteArrayView(kSignature, 8))) {
        *error = QStringLiteral("not a Compound File");
        return false;
    }
    const std::uint16_t shift = le::u16(b, 0x1E);
    if ((shift != 9 && shift != 12) || le::u16(b, 0x20) != 6) {
        *error = QStringLiteral("Compound File with an unsupported sector size");
        return false;
    }
    m_sectorSize = 1u << shift;
    m_sectorCount =
        b.size() > qsizetype(m_sectorSize) ? std::size_t((b.size() - 1) / m_sectorSize) : 0;
    const std::uint32_t fatSectorCount = le::u32(b, 0x2C);
    m_firstDirectorySector = le::u32(b, 0x30);
    m_miniStreamCutoff = le::u32(b, 0x38);
    m_firstMiniFatSector = le::u32(b, 0x3C);
    std::uint32_t difatSector = le::u32(b, 0x44);
    if (fatSectorCount > m_sectorCount) {
        *error = QStringLiteral("Compound File claims more FAT sectors than it has");
        return false;
    }

    std::vector<std::uint32_t> fatSectors;
    for (int i = 0; i < kHeaderDifatEntries && fatSectors.size() < fatSectorCount; ++i)
        fatSectors.push_back(le::u32(b, 0x4C + 4 * i));
    const std::uint32_t perDifatSector = m_sectorSize / 4 - 1;
    std::vector<bool> seen(m_sectorCount, false);
    while (fatSectors.size() < fatSectorCount) {
        if (difatSector >= m_sectorCount || seen[difatSector]) {
            *error = QStringLiteral("Compound File with a broken DIFAT chain");
            return false;
        }
        seen[difatSector] = true;
        const QByteArray sector = sectors({difatSector});
        for (std::uint32_t i = 0; i < perDifatSector && fatSectors.size() < fatSectorCount; ++i)
            fatSectors.push_back(le::u32(sector, 4 * i));
        difatSector = le::u32(sector, 4 * perDifatSector);
    }
    for (std::uint32_t sector : fatSectors) {
        if (sector >= m_sectorCount) {
            *error = QStringLiteral("Compound File with a FAT sector outside the file");
            return false;
        }
    }
    const QByteArray fat = sectors(fatSectors);
    m_fat.resize(std::size_t(fat.size() / 4));
    for (std::size_t i = 0; i < m_fat.size(); ++i)
        m_fat[i] = le::u32(fat, qsizetype(4 * i));
    return true;
}

std::optional<std::vector<std::uint32_t>>
CompoundFile::chain(std::uint32_t start, const std::vector<std::uint32_t> &table, std::size_t limit,
                    QString *error) const
{
    std::vector<std::uint32_t> result;
    std::vector<bool> seen(limit, false);
    for (std::uint32_t sector = start; sector != kEndOfChain; sector = table[sector]) {
        if (sector >= limit || sector >= table.size() || seen[sector]) {
            *error = QStringLiteral("Compound File with a broken sector chain");
            return std::nullopt;
        }
        seen[sector] = true;
        result.push_back(sector);
    }
    return result;
}

QByteArray CompoundFile::sectors(const std::vector<std::uint32_t> &chain) const
{
    QByteArray result;
    result.reserve(qsizetype(chain.size() * m_sectorSize));
    for (std::uint32_t sector : chain) {
        const qsizetype offset = qsizetype(sector + 1) * m_sectorSize;
        QByteArray piece = m_bytes.mid(offset, m_sectorSize);
        piece.resize(m_sectorSize, '\0'); // a last sector cut short reads as zeros
        result += piece;
    }
    return result;
}

bool CompoundFile::readDirectory(QString *error)
{
    const auto directoryChain = chain(m_firstDirectorySector, m_fat, m_sectorCount, error);
    if (!directoryChain)
        return false;
    m_directory = sectors(*directoryChain);
    const std::size_t count = std::size_t(m_directory.size() / kEntrySize);
    for (std::size_t i = 0; i < count; ++i) {
        const QByteArrayView raw =
            QByteArrayView(m_directory).sliced(qsizetype(i) * kEntrySize, kEntrySize);
        CompoundFileEntry entry;
        const int nameBytes = std::min<int>(le::u16(raw, 0x40), 64);
        const int nameChars = std::max(0, nameBytes / 2 - 1);
        for (int c = 0; c < nameChars; ++c)
            entry.name += QChar(le::u16(raw, 2 * c));
        entry.type = le::u8(raw, 0x42);
        entry.startSector = le::u32(raw, 0x74);
        entry.size = m_sectorSize == 512 ? le::u32(raw, 0x78) : le::u64(raw, 0x78);
        m_entries.push_back(entry);
    }
    if (m_entries.empty() || m_entries[0].type != CompoundFileEntry::Root) {
        *error = QStringLiteral("Compound File without a root entry");
        return false;
    }
    return true;
}

bool CompoundFile::readMiniStream(QString *error)
{
    if (m_firstMiniFatSector == kEndOfChain || m_firstMiniFatSector == kFreeSector)
        return true;
    const auto miniFatChain = chain(m_firstMiniFatSector, m_fat, m_sectorCount, error);
    if (!miniFatChain)
        return false;
    const QByteArray miniFat = sectors(*miniFatChain);
    m_miniFat.resize(std::size_t(miniFat.size() / 4));
    for (std::size_t i = 0; i < m_miniFat.size(); ++i)
        m_miniFat[i] = le::u32(miniFat, qsizetype(4 * i));
    const CompoundFileEntry &root = m_entries[0];
    const auto containerChain = chain(root.startSector, m_fat, m_sectorCount, error);
    if (!containerChain)
        return false;
    m_miniStream = sectors(*containerChain);
    if (root.size < std::uint64_t(m_miniStream.size()))
        m_miniStream.truncate(qsizetype(root.size));
    return true;
}

QByteArray CompoundFile::rawEntry(std::size_t index) const
{
    return m_directory.mid(qsizetype(index) * kEntrySize, kEntrySize);
}

int CompoundFile::findStream(const QString &name) const
{
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].type == CompoundFileEntry::Stream &&
            m_entries[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

std::optional<QByteArray> CompoundFile::stream(std::size_t index, QString *error) const
{
    const CompoundFileEntry &entry = m_entries.at(index);
    if (entry.size == 0)
        return QByteArray();
    QByteArray data;
    if (entry.size < m_miniStreamCutoff) {
        const std::size_t miniSectors = std::size_t(m_miniStream.size()) / kMiniSectorSize;
        const auto miniChain = chain(entry.startSector, m_miniFat, miniSectors, error);
        if (!miniChain)
            return std::nullopt;
        for (std::uint32_t sector : *miniChain)
            data += m_miniStream.mid(qsizetype(sector) * kMiniSectorSize, kMiniSectorSize);
    } else {
        const auto sectorChain = chain(entry.startSector, m_fat, m_sectorCount, error);
        if (!sectorChain)
            return std::nullopt;
        if (std::uint64_t(sectorChain->size()) * m_sectorSize < entry.size) {
            *error = QStringLiteral("Compound File stream shorter than its size");
            return std::nullopt;
        }
        data = sectors(*sectorChain);
    }
    if (std::uint64_t(data.size()) < entry.size) {
        *error = QStringLiteral("Compound File stream shorter than its size");
        return std::nullopt;
    }
    data.truncate(qsizetype(entry.size));
    return data;
}

} // namespace lumo::roster
