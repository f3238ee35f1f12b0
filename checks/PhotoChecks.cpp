#include "checks/PhotoChecks.h"

#include "checks/CascadeFaceDetector.h"
#include "checks/CheckRules.h"
#include "checks/PhotoMeasures.h"

#include <QHash>
#include <QLatin1StringView>

#include <algorithm>
#include <cmath>

namespace lumo::checks {

namespace {

QString codeText(const char *text)
{
    return QString::fromLatin1(text);
}

// Crown to chin, from the detector's box.
QRectF headOf(const QRect &box)
{
    const double top = box.top() - rules::kCrownAboveBox * box.height();
    const double bottom = box.top() + rules::kChinBelowBoxTop * box.height();
    const double width = rules::kHeadWidthOfBox * box.width();
    return QRectF(box.left() + box.width() / 2.0 - width / 2, top, width, bottom - top);
}

double bandTop(int height)
{
    return rules::kCrownRow * height;
}

// The head's size and place against the photo: the rules the live guide shares.
QStringList placementCodes(const QRectF &head, int width, int height)
{
    QStringList codes;
    const double share = head.height() / height;
    if (share < rules::kHeadShareMin)
        codes << codeText(code::kHeadSmall);
    else if (share > rules::kHeadShareMax)
        codes << codeText(code::kHeadLarge);
    const double bandMiddle = bandTop(height) + rules::kHeadShare * height / 2;
    if (std::abs(head.center().x() - width / 2.0) > rules::kMaxOffsetX * width ||
        std::abs(head.center().y() - bandMiddle) > rules::kMaxOffsetY * height)
        codes << codeText(code::kOffCentre);
    return codes;
}

FaceSearch searchFor(const LumaImage &luma, bool coarse)
{
    FaceSearch search;
    search.minSide = std::max(20, int(rules::kMinFaceShare * luma.height));
    search.maxSide = std::min(luma.width, luma.height);
    search.coarse = coarse;
    return search;
}

QStringList faceCountCodes(std::size_t faces)
{
    if (faces == 0)
        return {codeText(code::kNoFace)};
    return {codeText(code::kFaces) + QString::number(faces)};
}

QRect scaled(const QRect &box, double scale)
{
    return QRect(int(std::lround(box.x() * scale)), int(std::lround(box.y() * scale)),
                 int(std::lround(box.width() * scale)), int(std::lround(box.height() * scale)));
}

const FaceDetector *detectorOr(QString *error)
{
    return sharedFaceDetector(error);
}

} // namespace

QString PhotoVerdict::summary() const
{
    return codes.isEmpty() ? QStringLiteral("ok") : codes.join(u',');
}

PhotoVerdict checkPhoto(const photo::BgrImage &photo)
{
    PhotoVerdict verdict;
    const FaceDetector *detector = detectorOr(&verdict.error);
    return detector ? checkPhoto(photo, *detector) : verdict;
}

PhotoVerdict checkPhoto(const photo::BgrImage &photo, const FaceDetector &detector)
{
    PhotoVerdict verdict;
    const LumaImage luma = lumaOf(photo);
    if (luma.isEmpty()) {
        verdict.error = QStringLiteral("没有可以检查的照片。");
        return verdict;
    }
    // Faces are looked for on a smaller copy, for time; measured on the photo itself.
    const LumaImage smaller = lumaOf(photo, rules::kCheckHeight);
    const std::vector<FoundFace> faces = detector.findFaces(smaller, searchFor(smaller, false));
    if (faces.size() != 1) {
        verdict.codes = faceCountCodes(faces.size());
        return verdict;
    }
    const double scale = double(luma.height) / smaller.height;
    FoundFace face = faces.front();
    face.box = scaled(face.box, scale);
    verdict.face = face.box;
    verdict.head = headOf(face.box);
    verdict.codes = placementCodes(verdict.head, luma.width, luma.height);

    if (const std::optional<QLineF> eyes = detector.findEyes(luma, face.box)) {
        verdict.tiltDegrees = -eyes->angle();
        if (verdict.tiltDegrees < -180)
            verdict.tiltDegrees += 360;
        if (std::abs(verdict.tiltDegrees) > rules::kMaxTiltDegrees)
            verdict.codes << codeText(code::kTilted);
    }
    verdict.sharpness = sharpnessOf(luma, face.box);
    if (verdict.sharpness < rules::kMinSharpness)
        verdict.codes << codeText(code::kBlurred);
    const FaceLight light = faceLightOf(luma, face.box);
    verdict.faceLuminance = light.mean;
    if (light.highlight < rules::kMinFaceHighlight)
        verdict.codes << codeText(code::kDark);
    else if (light.mean > rules::kMaxFaceLuminance || light.clipped > rules::kMaxClipped)
        verdict.codes << codeText(code::kBright);
    const BackgroundLook background = backgroundOf(luma, verdict.head);
    verdict.backgroundLuminance = background.mean;
    if (background.share > 0 && (background.mean < rules::kMinBackgroundLuminance ||
                                 background.spread > rules::kMaxBackgroundSpread))
        verdict.codes << codeText(code::kBackground);
    return verdict;
}

FramingGuide checkFraming(const photo::BgrImage &underFrame)
{
    FramingGuide guide;
    const FaceDetector *detector = detectorOr(&guide.error);
    return detector ? checkFraming(underFrame, *detector) : guide;
}

FramingGuide checkFraming(const photo::BgrImage &underFrame, const FaceDetector &detector)
{
    FramingGuide guide;
    const int height = underFrame.height();
    guide.headBandTop = int(std::lround(bandTop(height)));
    guide.headBandBottom = int(std::lround(bandTop(height) + rules::kHeadShare * height));
    const LumaImage luma = lumaOf(underFrame, rules::kFramingHeight);
    if (luma.isEmpty())
        return guide;
    const std::vector<FoundFace> faces = detector.findFaces(luma, searchFor(luma, true));
    if (faces.size() != 1)
        return guide;
    const double scale = double(height) / luma.height;
    const QRect &box = faces.front().box;
    guide.face =
        QRect(int(std::lround(box.x() * scale)), int(std::lround(box.y() * scale)),
              int(std::lround(box.width() * scale)), int(std::lround(box.height() * scale)));
    guide.head = headOf(*guide.face);
    guide.headFits = placementCodes(guide.head, underFrame.width(), height).isEmpty();
    return guide;
}

QString operatorText(const PhotoVerdict &verdict)
{
    if (!verdict.error.isEmpty())
        return verdict.error;
    if (verdict.codes.isEmpty())
        return QStringLiteral("照片合格");
    static const QHash<QString, QString> texts = {
        {codeText(code::kNoFace), QStringLiteral("没有找到人脸")},
        {codeText(code::kHeadSmall), QStringLiteral("头部太小")},
        {codeText(code::kHeadLarge), QStringLiteral("头部太大")},
        {codeText(code::kOffCentre), QStringLiteral("头部不在中间")},
        {codeText(code::kTilted), QStringLiteral("头部歪斜，双眼不水平")},
        {codeText(code::kBlurred), QStringLiteral("照片模糊")},
        {codeText(code::kDark), QStringLiteral("脸部太暗")},
        {codeText(code::kBright), QStringLiteral("脸部太亮")},
        {codeText(code::kBackground), QStringLiteral("背景不是纯浅色")},
    };
    QStringList parts;
    for (const QString &c : verdict.codes) {
        if (c.startsWith(QLatin1StringView(code::kFaces)))
            parts << QStringLiteral("画面里有 %1 张人脸").arg(c.mid(int(qstrlen(code::kFaces))));
        else
            parts << texts.value(c, c);
    }
    return QStringLiteral("请重拍：") + parts.join(u'，');
}

} // namespace lumo::checks
