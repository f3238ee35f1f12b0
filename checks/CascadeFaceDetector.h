// Faces and eyes found by OpenCV's Haar cascades, read at run time from the data files of
// Debian's opencv-data package.
#pragma once

#include "checks/FaceDetector.h"

#include <QString>

#include <memory>
#include <mutex>

namespace cv {
class CascadeClassifier;
}

namespace lumo::checks {

class CascadeFaceDetector : public FaceDetector
{
public:
    // The folder opencv-data installs the cascades to.
    static QString defaultFolder();
    // The detector with the cascades of that folder; null with *error (for the operator) when
    // a file is missing or cannot be read.
    static std::unique_ptr<CascadeFaceDetector> load(const QString &folder, QString *error);
    ~CascadeFaceDetector() override;

    std::vector<FoundFace> findFaces(const LumaImage &image,
                                     const FaceSearch &search) const override;
    std::optional<QLineF> findEyes(const LumaImage &image, const QRect &face) const override;

private:
    CascadeFaceDetector();

    std::unique_ptr<cv::CascadeClassifier> m_faces;
    std::unique_ptr<cv::CascadeClassifier> m_eyes;
    // A classifier keeps scratch buffers of its own while it runs.
    mutable std::mutex m_running;
};

// The cascade detector of the default folder, loaded once for the whole program; null with
// *error when it cannot be.
const FaceDetector *sharedFaceDetector(QString *error);

} // namespace lumo::checks
