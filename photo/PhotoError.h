// The error that ends a photo step: a number and the description the operator is shown.
#pragma once

#include <QString>

#include <stdexcept>

namespace photo {

class PhotoError : public std::runtime_error
{
public:
    PhotoError(int number, const QString &description)
        : std::runtime_error(description.toStdString()), m_number(number),
          m_description(description)
    {
    }

    int number() const { return m_number; }
    const QString &description() const { return m_description; }

private:
    int m_number;
    QString m_description;
};

// Error numbers, as the operator's tools have always shown them.
inline constexpr int kFileNotFound = 53;
inline constexpr int kPathAccessError = 75;
inline constexpr int kInvalidPicture = 481;
inline constexpr int kCannotSaveJpeg = 5;
inline constexpr int kNoPicture = 31001;
inline constexpr int kResampleFailed = 31002;

} // namespace photo
