// Reads a Compound File (the container of a legacy .xls): header, FAT with its DIFAT, mini
// stream and directory. Every chain is checked against the file's size and for loops, so a
// damaged file is refused instead of read without end.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace lumo::roster {

struct CompoundFileEntry
{
    enum Type : std::uint8_t { Unused = 0, Storage = 1, Stream = 2, Root = 5 };

    QString name;
    std::uint8_t type = Unused;
    std::uint32_t startSector = 0;
    std::uint64_t size = 0;
};

class CompoundFile
{
public:
    static constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
    static constexpr std::uint32_t kFreeSector = 0xFFFFFFFF;
    static constexpr std::uint32_t kFatSector = 0xFFFFFFFD;
    static constexpr std::uint32_t kDifatSector = 0xFFFFFFFC;
    static constexpr int kEntrySize = 128;
    static constexpr std::uint32_t kMiniStreamCutoff = 4096;

    // The file, or nullopt with the reason in error.
    static std::optional<CompoundFile> open(const QByteArray &bytes, QString *error);

    const std::vector<CompoundFileEntry> &entries() const { return m_entries; }
    // The directory entry as it is stored: 128 bytes.
    QByteArray rawEntry(std::size_t index) const;
    // Index of the stream with this name (names compare without regard to case), or -1.
    int findStream(const QString &name) const;
    // The stream's bytes, or nullopt with the reason in error.
    std::optional<QByteArray> stream(std::size_t index, QString *error) const;

private:
    CompoundFile() = default;
    bool readHeaderAndFat(QString *error);
    bool readDirectory(QString *error);
    bool readMiniStream(QString *error);
    std::optional<std::vector<std::uint32_t>> chain(std::uint32_t start,
                                                    const std::vector<std::uint32_t> &table,
                                                    std::size_t limit, QString *error) const;
    QByteArray sectors(const std::vector<std::uint32_t> &chain) const;

    QByteArray m_bytes;
    std::uint32_t m_sectorSize = 512;
    std::size_t m_sectorCount = 0;
    std::uint32_t m_firstDirectorySector = 0;
    std::uint32_t m_firstMiniFatSector = 0;
    std::uint32_t m_miniStreamCutoff = kMiniStreamCutoff;
    std::vector<std::uint32_t> m_fat;
    std::vector<std::uint32_t> m_miniFat;
    QByteArray m_miniStream;
    QByteArray m_directory;
    std::vector<CompoundFileEntry> m_entries;
};

// A new Compound File with the same directory and streams as original, except that the stream
// at replacedIndex holds replacement. Streams are laid out anew; each directory entry keeps
// every field but its start sector and size.
std::optional<QByteArray> rewriteCompoundFile(const CompoundFile &original,
                                              std::size_t replacedIndex,
                                              const QByteArray &replacement, QString *error);

} // namespace lumo::roster
