// lumo-cli-checks: "lumo-cli photo check --framing ..." as a program of its own, so that lumo-cli
// itself loads no face detector: OpenCV's libraries alone add 7 ms to every start.
#include "checks/PhotoChecks.h"
#include "cli/CommandLine.h"
#include "cli/Messages.h"
#include "cli/PhotoPaths.h"
#include "cli/UsageTexts.h"
#include "photo/PictureFile.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>

#include <cmath>

using namespace lumo;
using namespace lumo::cli;

namespace {

QJsonValue rectangle(const QRectF &box)
{
    return QJsonObject{{QStringLiteral("x"), box.x()},
                       {QStringLiteral("y"), box.y()},
                       {QStringLiteral("width"), box.width()},
                       {QStringLiteral("height"), box.height()}};
}

// What the codes were judged by.
void addMeasurements(QJsonObject &object, const checks::PhotoVerdict &verdict)
{
    object.insert(QStringLiteral("face"), verdict.face ? rectangle(*verdict.face) : QJsonValue());
    object.insert(QStringLiteral("head"), rectangle(verdict.head));
    object.insert(QStringLiteral("tiltDegrees"),
                  std::isnan(verdict.tiltDegrees) ? QJsonValue() : QJsonValue(verdict.tiltDegrees));
    object.insert(QStringLiteral("sharpness"), verdict.sharpness);
    object.insert(QStringLiteral("faceLuminance"), verdict.faceLuminance);
    object.insert(QStringLiteral("backgroundLuminance"), verdict.backgroundLuminance);
}

} // namespace

int main(int argc, char *argv[])
{
    CommandLine line(QStringLiteral("lumo-cli photo check"), usage::kFraming);
    const QCommandLineOption framing(QStringLiteral("framing")), json(QStringLiteral("json"));
    line.parser.addOptions({framing, json});
    if (const auto done = line.parse(startCommand(argc, argv)))
        return *done;
    QStringList photos;
    if (const auto done = collectPhotos(line, line.positional(), &photos))
        return *done;
    QJsonArray objects;
    int status = kSuccess;
    for (const QString &file : photos) {
        QString reason;
        const photo::BgrImage picture = photo::readPictureFile(file, &reason);
        const checks::PhotoVerdict verdict =
            picture.isEmpty() ? checks::PhotoVerdict{} : checks::checkPhoto(picture);
        if (!verdict.error.isEmpty())
            return line.fail(text(msg::kChecksCannotRun).arg(verdict.error));
        const QStringList codes =
            picture.isEmpty() ? QStringList{QStringLiteral("unreadable")} : verdict.codes;
        if (!codes.isEmpty())
            status = kNegative;
        if (picture.isEmpty())
            printLine(stderr, reason);
        if (!line.parser.isSet(json)) {
            printLine(stdout, QDir::toNativeSeparators(file) + u'\t' +
                                  (picture.isEmpty() ? codes.first() : verdict.summary()));
            continue;
        }
        QJsonObject object{{QStringLiteral("path"), file},
                           {QStringLiteral("ok"), codes.isEmpty()},
                           {QStringLiteral("codes"), QJsonArray::fromStringList(codes)}};
        if (picture.isEmpty())
            object.insert(QStringLiteral("error"), reason);
        else
            addMeasurements(object, verdict);
        objects.append(object);
    }
    if (line.parser.isSet(json))
        printJson(QJsonDocument(objects));
    return status;
}
