#include "checks/CascadeFaceDetector.h"

#include <QFileInfo>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/objdetect.hpp>

#include <algorithm>

namespace lumo::checks {

namespace {

// The frontal-face cascade that found the most faces of the test photos, with the fewest false
// ones; the eye cascade that does without glasses handling finds both eyes more often.
const char *const kFaceCascade = "haarcascade_frontalface_default.xml";
const char *const kEyeCascade = "haarcascade_eye.xml";

std::unique_ptr<cv::CascadeClassifier> loadCascade(const QString &folder, const char *name,
                                                   QString *error)
{
    const QString path = folder + u'/' + QLatin1String(name);
    auto cascade = std::make_unique<cv::CascadeClassifier>();
    bool loaded = false;
    if (QFileInfo(path).isFile()) {
        try {
            loaded = cascade->load(path.toStdString());
        } catch (const cv::Exception &) {
            loaded = false;
        }
    }
    if (loaded)
        return cascade;
    *error = QStringLiteral("无法读取人脸检测数据 %1（请安装 opencv-data）").arg(path);
    return nullptr;
}

cv::Mat matOf(const LumaImage &image)
{
    return cv::Mat(image.height, image.width, CV_8UC1,
                   const_cast<std::uint8_t *>(image.pixels.data()));
}

QPointF centreOf(const cv::Rect &r, const QPoint &offset)
{
    return QPointF(offset.x() + r.x + r.width / 2.0, offset.y() + r.y + r.height / 2.0);
}

} // namespace

QString CascadeFaceDetector::defaultFolder()
{
    return QStringLiteral(LUMO_CASCADE_FOLDER);
}

CascadeFaceDetector::CascadeFaceDetector() = default;
CascadeFaceDetector::~CascadeFaceDetector() = default;

std::unique_ptr<CascadeFaceDetector> CascadeFaceDetector::load(const QString &folder,
                                                               QString *error)
{
    std::unique_ptr<CascadeFaceDetector> detector(new CascadeFaceDetector);
    detector->m_faces = loadCascade(folder, kFaceCascade, error);
    if (detector->m_faces)
        detector->m_eyes = loadCascade(folder, kEyeCascade, error);
    if (!detector->m_eyes)
        return nullptr;
    // The checks run on one core beside the camera's preview; OpenCV would start a thread
    // pool for each detection.
    cv::setNumThreads(0);
    return detector;
}

std::vector<FoundFace> CascadeFaceDetector::findFaces(const LumaImage &image,
                                                      const FaceSearch &search) const
{
    if (image.isEmpty())
        return {};
    const cv::Mat grey = matOf(image);
    // Equalising lets the cascade see a dark or washed-out face; the coarse search does
    // without, for time.
    cv::Mat searched;
    if (search.coarse)
        searched = grey;
    else
        cv::equalizeHist(grey, searched);
    const std::lock_guard lock(m_running);
    std::vector<cv::Rect> boxes;
    m_faces->detectMultiScale(searched, boxes, search.coarse ? 1.2 : 1.1, 3, 0,
                              cv::Size(search.minSide, search.minSide),
                              cv::Size(search.maxSide, search.maxSide));
    std::vector<FoundFace> faces;
    for (const cv::Rect &box : boxes)
        faces.push_back({QRect(box.x, box.y, box.width, box.height)});
    return faces;
}

std::optional<QLineF> CascadeFaceDetector::findEyes(const LumaImage &image, const QRect &face) const
{
    // The eyes lie in the upper half of the box, one each side of its middle. Unequalised:
    // equalising brightens brows and lashes into eyes.
    const cv::Rect band =
        cv::Rect(face.x(), face.y() + face.height() / 6, face.width(), face.height() * 4 / 10) &
        cv::Rect(0, 0, image.width, image.height);
    if (band.empty())
        return std::nullopt;
    const int side = face.width();
    std::vector<cv::Rect> eyes;
    {
        const std::lock_guard lock(m_running);
        m_eyes->detectMultiScale(matOf(image)(band), eyes, 1.1, 3, 0, cv::Size(side / 8, side / 8),
                                 cv::Size(side / 3, side / 3));
    }
    std::optional<cv::Rect> left, right;
    for (const cv::Rect &eye : eyes) {
        auto &found = eye.x + eye.width / 2 < side / 2 ? left : right;
        if (!found || eye.area() > found->area())
            found = eye;
    }
    if (!left || !right)
        return std::nullopt;
    const QPoint offset(band.x, band.y);
    return QLineF(centreOf(*left, offset), centreOf(*right, offset));
}

const FaceDetector *sharedFaceDetector(QString *error)
{
    static QString loadError;
    static const std::unique_ptr<CascadeFaceDetector> detector =
        CascadeFaceDetector::load(CascadeFaceDetector::defaultFolder(), &loadError);
    if (!detector && error)
        *error = loadError;
    return detector.get();
}

} // namespace lumo::checks
