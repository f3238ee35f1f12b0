// Photo files for the report tests, and what poppler-utils read back from a report.
#pragma once

#include "photo/JpegCodec.h"
#include "photo/RegistryPhoto.h"
#include "tests/photo/PhotoTestImages.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/TestFiles.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace reporttest {

inline QByteArray photoJpeg(int width = lumo::photo::kPhotoWidth,
                            int height = lumo::photo::kPhotoHeight)
{
    QByteArray bytes;
    lumo::photo::encodeJpeg(phototest::gradientImage(width, height), 90, lumo::photo::kPhotoDpi,
                            &bytes);
    return bytes;
}

inline int pdfPageCount(const QString &pdf)
{
    const QString info = runProgram("pdfinfo", {pdf}).out;
    return info.section("Pages:", 1).section(u'\n', 0, 0).toInt();
}

// The text of one page, or of all when page is 0, without the spaces pdftotext guesses.
inline QString pdfText(const QString &pdf, int page = 0)
{
    const QString n = QString::number(page);
    QString text = runProgram("pdftotext", {"-f", n, "-l", n, "-enc", "UTF-8", pdf, "-"}).out;
    text.removeIf([](QChar c) { return c.isSpace(); });
    return text;
}

struct PdfImage
{
    int page = 0;
    int width = 0; // pixels
    double widthMm = 0;
    double heightMm = 0;
};

inline QList<PdfImage> pdfImages(const QString &pdf)
{
    // page num type width height color comp bpc enc interp object ID x-ppi y-ppi size ratio
    QList<PdfImage> images;
    const QString list = runProgram("pdfimages", {"-list", pdf}).out;
    for (const QString &line : list.split(u'\n').mid(2)) {
        const QStringList f = line.simplified().split(u' ');
        if (f.size() >= 14 && f[2] == u"image")
            images << PdfImage{f[0].toInt(), f[3].toInt(),
                               f[3].toDouble() * 25.4 / f[12].toDouble(),
                               f[4].toDouble() * 25.4 / f[13].toDouble()};
    }
    return images;
}

} // namespace reporttest
