// Photo files and PDF probes shared by the report tests: real JPEGs as Lumo saves them, and what
// poppler-utils (pdfinfo, pdftotext, pdfimages, pdffonts) read back from a report.
#pragma once

#include "photo/JpegCodec.h"
#include "photo/RegistryPhoto.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/TestFiles.h"

#include <QByteArray>
#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <cstdint>

namespace reporttest {

// A JPEG of that size at 254 dpi, its picture told apart by the shade.
inline QByteArray photoJpeg(int shade, int width = lumo::photo::kPhotoWidth,
                            int height = lumo::photo::kPhotoHeight)
{
    lumo::photo::BgrImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t *pixel = image.row(y) + 3 * x;
            pixel[0] = std::uint8_t(shade);
            pixel[1] = std::uint8_t(x * 255 / width);
            pixel[2] = std::uint8_t(y * 255 / height);
        }
    QByteArray bytes;
    lumo::photo::encodeJpeg(image, 90, lumo::photo::kPhotoDpi, &bytes);
    return bytes;
}

inline int pdfPageCount(const QString &pdf)
{
    const ProgramRun run = runProgram(QStringLiteral("pdfinfo"), {pdf});
    const QRegularExpressionMatch pages = QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)$"),
                                                             QRegularExpression::MultilineOption)
                                              .match(run.out);
    return pages.hasMatch() ? pages.captured(1).toInt() : -1;
}

// The text of one page, or of all when page is 0, without any white space: pdftotext guesses
// spaces and line breaks from the glyphs' places, so "第 1 页" may come back as "第1页".
inline QString pdfText(const QString &pdf, int page = 0)
{
    QStringList arguments{QStringLiteral("-enc"), QStringLiteral("UTF-8")};
    if (page > 0)
        arguments << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l")
                  << QString::number(page);
    QString text =
        runProgram(QStringLiteral("pdftotext"), arguments << pdf << QStringLiteral("-")).out;
    text.removeIf([](QChar c) { return c.isSpace(); });
    return text;
}

struct PdfImage
{
    int page = 0;
    int width = 0;
    int height = 0;
    double widthMm = 0; // as printed, from the pixels and pdfimages' pixels per inch
    double heightMm = 0;
};

inline QList<PdfImage> pdfImages(const QString &pdf)
{
    // page num type width height color comp bpc enc interp object ID x-ppi y-ppi size ratio
    QList<PdfImage> images;
    const QStringList lines =
        runProgram(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf})
            .out.split(u'\n', Qt::SkipEmptyParts);
    for (const QString &line : lines.mid(2)) {
        const QStringList f = line.split(u' ', Qt::SkipEmptyParts);
        if (f.size() < 14 || f[2] != u"image")
            continue;
        PdfImage image{f[0].toInt(), f[3].toInt(), f[4].toInt(), 0, 0};
        image.widthMm = image.width * 25.4 / f[12].toDouble();
        image.heightMm = image.height * 25.4 / f[13].toDouble();
        images << image;
    }
    return images;
}

inline QString pdfFonts(const QString &pdf)
{
    return runProgram(QStringLiteral("pdffonts"), {pdf}).out;
}

} // namespace reporttest
