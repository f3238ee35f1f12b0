// Little-endian integers out of a byte buffer. Callers check the bounds first.
#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <cstring>

namespace lumo::roster::le {

inline std::uint8_t u8(QByteArrayView data, qsizetype at)
{
    return std::uint8_t(data[at]);
}
inline std::uint16_t u16(QByteArrayView data, qsizetype at)
{
    return std::uint16_t(u8(data, at) | u8(data, at + 1) << 8);
}
inline std::uint32_t u32(QByteArrayView data, qsizetype at)
{
    return std::uint32_t(u16(data, at)) | std::uint32_t(u16(data, at + 2)) << 16;
}
inline std::uint64_t u64(QByteArrayView data, qsizetype at)
{
    return std::uint64_t(u32(data, at)) | std::uint64_t(u32(data, at + 4)) << 32;
}
inline double f64(QByteArrayView data, qsizetype at)
{
    const std::uint64_t bits = u64(data, at);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

inline void put16(QByteArray &data, qsizetype at, std::uint16_t value)
{
    data[at] = char(value & 0xFF);
    data[at + 1] = char(value >> 8);
}
inline void put32(QByteArray &data, qsizetype at, std::uint32_t value)
{
    put16(data, at, std::uint16_t(value & 0xFFFF));
    put16(data, at + 2, std::uint16_t(value >> 16));
}
inline void append16(QByteArray &data, std::uint16_t value)
{
    data.append(char(value & 0xFF));
    data.append(char(value >> 8));
}
inline void append32(QByteArray &data, std::uint32_t value)
{
    append16(data, std::uint16_t(value & 0xFFFF));
    append16(data, std::uint16_t(value >> 16));
}

} // namespace lumo::roster::le
