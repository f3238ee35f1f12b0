#include "report/ReportPdf.h"

#include "common/AtomicFile.h"
#include "common/NativePath.h"
#include "photo/PictureFile.h"
#include "photo/RegistryPhoto.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace lumo::report {

namespace {

const QString kFontFamily = QStringLiteral("WenQuanYi Micro Hei");

// Device units per inch: fine enough that the photo's 26 x 32 mm land within a hundredth.
constexpr int kResolution = 1200;

// The page in millimetres, A4 portrait, kept 12 mm from the edges that printers cannot reach.
constexpr double kMargin = 12;
constexpr int kColumns = 6;
constexpr double kCellWidth = 31;
constexpr double kCellHeight = 47;
constexpr double kGridTop = 30;
constexpr double kSignatureTop = 268;
constexpr double kPageNumberTop = 280;

// The registry photo's true size: 260 x 320 pixels at 254 dpi.
constexpr double kPhotoWidth = photo::kPhotoWidth * 25.4 / photo::kPhotoDpi;
constexpr double kPhotoHeight = photo::kPhotoHeight * 25.4 / photo::kPhotoDpi;

// Below it, no text is shrunk further: smaller is elided.
constexpr double kSmallestPointSize = 5.5;

const QColor kMissingColour(0x80, 0x80, 0x80);
const QColor kProblemColour(0xc0, 0x00, 0x00);

double units(double mm)
{
    return mm * kResolution / 25.4;
}

QRectF area(double x, double y, double width, double height)
{
    return QRectF(units(x), units(y), units(width), units(height));
}

QFont reportFont(double pointSize, bool bold = false)
{
    QFont font(kFontFamily);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

// The text in the box, at the font's size or smaller down to kSmallestPointSize, elided beyond.
void drawFitted(QPainter &painter, const QRectF &box, QString text, QFont font, int flags)
{
    for (;;) {
        const QFontMetricsF metrics(font, painter.device());
        const QRectF needed = metrics.boundingRect(box, flags, text);
        if (needed.width() <= box.width() && needed.height() <= box.height())
            break;
        if (font.pointSizeF() - 0.5 < kSmallestPointSize) {
            text = metrics.elidedText(text, Qt::ElideRight, box.width());
            flags &= ~Qt::TextWordWrap;
            break;
        }
        font.setPointSizeF(font.pointSizeF() - 0.5);
    }
    painter.setFont(font);
    painter.drawText(box, flags, text);
}

// The photo's picture, fitted into the photo box; a larger one is brought down to twice the
// print resolution so that a camera original in the folder does not swell the file.
QImage photoPicture(const QString &path)
{
    QString reason;
    const photo::BgrImage pixels = photo::readPictureFile(path, &reason);
    if (pixels.isEmpty())
        return QImage();
    const QImage picture(pixels.bits(), pixels.width(), pixels.height(), pixels.stride(),
                         QImage::Format_BGR888);
    const QSize largest(2 * photo::kPhotoWidth, 2 * photo::kPhotoHeight);
    if (picture.width() > largest.width() || picture.height() > largest.height())
        return picture.scaled(largest, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return picture.copy();
}

class SheetPainter
{
public:
    SheetPainter(QPainter &painter, const ClassReport &report, int pageCount)
        : m_painter(painter), m_report(report), m_pageCount(pageCount)
    {
    }

    void drawHeader()
    {
        const QString title = m_report.className.isEmpty()
                                  ? QStringLiteral("学籍照片")
                                  : m_report.className + QStringLiteral(" 学籍照片");
        const int photographed = m_report.photographedCount();
        const int students = int(m_report.students.size());
        const QString counts = QStringLiteral("日期：%1　　已拍 %2 / 共 %3 人　　未拍 %4 人")
                                   .arg(m_report.date.toString(QStringLiteral("yyyy年M月d日")))
                                   .arg(photographed)
                                   .arg(students)
                                   .arg(students - photographed);
        const double width = kColumns * kCellWidth;
        m_painter.setPen(Qt::black);
        drawFitted(m_painter, area(kMargin, 12, width, 8), title, reportFont(15, true),
                   Qt::AlignLeft | Qt::AlignVCenter);
        drawFitted(m_painter, area(kMargin, 20.5, width, 5.5), counts, reportFont(10),
                   Qt::AlignLeft | Qt::AlignVCenter);
        m_painter.setPen(QPen(Qt::black, units(0.3)));
        m_painter.drawLine(QPointF(units(kMargin), units(27.5)),
                           QPointF(units(kMargin + width), units(27.5)));
    }

    void drawStudent(const ReportStudent &student, int place)
    {
        const double left = kMargin + (place % kColumns) * kCellWidth;
        const double top = kGridTop + (place / kColumns) * kCellHeight;
        const QRectF photoBox =
            area(left + (kCellWidth - kPhotoWidth) / 2, top, kPhotoWidth, kPhotoHeight);
        drawPhoto(student.photoPath, photoBox);

        const int centred = Qt::AlignHCenter | Qt::AlignTop;
        double line = top + kPhotoHeight + 0.8;
        m_painter.setPen(Qt::black);
        drawFitted(
            m_painter, area(left, line, kCellWidth, 3.8),
            QStringLiteral("%1 %2").arg(student.number, 3, 10, QChar(u'0')).arg(student.name),
            reportFont(8), centred);
        line += 3.8;
        drawFitted(m_painter, area(left, line, kCellWidth, 3.4), maskedId(student.idNumber),
                   reportFont(7.5), centred);
        line += 3.4;
        if (!student.finding.isEmpty()) {
            m_painter.setPen(kProblemColour);
            drawFitted(m_painter, area(left, line, kCellWidth, 6.5), student.finding, reportFont(7),
                       centred | Qt::TextWordWrap);
        }
    }

    void drawFooter(int page)
    {
        m_painter.setPen(Qt::black);
        if (page == m_pageCount) {
            drawFitted(m_painter, area(kMargin, kSignatureTop, kColumns * kCellWidth, 7),
                       QStringLiteral("班主任签字：________________　　日期：________________"),
                       reportFont(11), Qt::AlignLeft | Qt::AlignVCenter);
        }
        drawFitted(m_painter, area(kMargin, kPageNumberTop, kColumns * kCellWidth, 5),
                   QStringLiteral("第 %1 页 / 共 %2 页").arg(page).arg(m_pageCount), reportFont(8),
                   Qt::AlignHCenter | Qt::AlignVCenter);
    }

private:
    void drawPhoto(const QString &path, const QRectF &box)
    {
        if (path.isEmpty()) {
            drawEmptyBox(box, Qt::DashLine, kMissingColour, QStringLiteral("未拍摄"));
            return;
        }
        const QImage picture = photoPicture(path);
        if (picture.isNull()) {
            drawEmptyBox(box, Qt::SolidLine, kProblemColour, QStringLiteral("照片无法读取"));
            return;
        }
        QSizeF size = picture.size();
        size.scale(box.size(), Qt::KeepAspectRatio);
        QRectF placed(QPointF(), size);
        placed.moveCenter(box.center());
        m_painter.drawImage(placed, picture);
    }

    void drawEmptyBox(const QRectF &box, Qt::PenStyle style, const QColor &colour,
                      const QString &text)
    {
        QPen pen(colour, units(0.3), style);
        m_painter.setPen(pen);
        m_painter.setBrush(Qt::NoBrush);
        m_painter.drawRect(box);
        drawFitted(m_painter, box, text, reportFont(9), Qt::AlignCenter | Qt::TextWordWrap);
    }

    QPainter &m_painter;
    const ClassReport &m_report;
    int m_pageCount;
};

bool failed(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}

} // namespace

int reportPageCount(int studentCount)
{
    return qMax(1, (studentCount + kStudentsPerPage - 1) / kStudentsPerPage);
}

bool writeReportPdf(const ClassReport &report, const QString &path, QString *error,
                    const std::function<bool(int done, int total)> &progress)
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return failed(error, QStringLiteral("无法生成报表：程序没有启动图形部分。"));
    if (!QFontDatabase::hasFamily(kFontFamily))
        return failed(error, QStringLiteral("无法生成报表：找不到中文字体 %1（软件包 "
                                            "fonts-wqy-microhei）。")
                                 .arg(kFontFamily));

    common::AtomicFile target(path, common::AtomicFile::Content::ByOtherWriter);
    if (!target.isReserved())
        return failed(error, target.errorString());
    // Opened by the name's bytes: QFile would lose those of a name that is not UTF-8.
    const int handle = ::open(common::encodePath(target.partialPath()).constData(),
                              O_WRONLY | O_TRUNC | O_CLOEXEC);
    QFile file;
    if (handle < 0 || !file.open(handle, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        if (handle >= 0)
            ::close(handle);
        return failed(
            error,
            QStringLiteral("无法写入文件 %1：%2").arg(QDir::toNativeSeparators(path), reason));
    }
    {
        QPdfWriter writer(&file);
        writer.setResolution(kResolution);
        writer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        writer.setTitle(report.className + QStringLiteral(" 学籍照片"));
        writer.setCreator(QStringLiteral("Lumo"));
        QPainter painter;
        if (!painter.begin(&writer))
            return failed(error,
                          QStringLiteral("无法写入文件 %1。").arg(QDir::toNativeSeparators(path)));
        painter.setRenderHint(QPainter::SmoothPixmapTransform);

        const int total = int(report.students.size());
        const int pageCount = reportPageCount(total);
        SheetPainter sheet(painter, report, pageCount);
        for (int page = 1; page <= pageCount; ++page) {
            if (page > 1)
                writer.newPage();
            sheet.drawHeader();
            const int first = (page - 1) * kStudentsPerPage;
            for (int i = first; i < qMin(total, first + kStudentsPerPage); ++i) {
                sheet.drawStudent(report.students[i], i - first);
                if (progress && !progress(i + 1, total)) {
                    painter.end();
                    return failed(error, QStringLiteral("已取消，没有生成报表。"));
                }
            }
            sheet.drawFooter(page);
        }
        painter.end();
    }
    if (!file.flush() || file.error() != QFileDevice::NoError)
        return failed(error, QStringLiteral("无法写入文件 %1：%2")
                                 .arg(QDir::toNativeSeparators(path), file.errorString()));
    file.close();
    if (!target.commit())
        return failed(error, target.errorString());
    return true;
}

} // namespace lumo::report
