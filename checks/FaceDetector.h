// What the checks need from a face detector, so that another one can take its place: frontal
// faces in a brightness picture and, where it can tell, the eyes of each.
#pragma once

#include "checks/LumaImage.h"

#include <QLineF>
#include <QRect>

#include <optional>
#include <vector>

namespace lumo::checks {

struct FoundFace
{
    // The detector's square around the face: about brow to chin, cheek to cheek.
    QRect box;
};

struct FaceSearch
{
    int minSide = 0; // smallest and largest box side looked for, in the picture's pixels
    int maxSide = 0;
    bool coarse = false; // fewer sizes tried: for the live guide, where time counts most
};

class FaceDetector
{
public:
    virtual ~FaceDetector() = default;
    // Safe to call from several threads.
    virtual std::vector<FoundFace> findFaces(const LumaImage &image,
                                             const FaceSearch &search) const = 0;
    // From the centre of the eye on the picture's left to that of the other, in the face's
    // box; none when the detector does not find both.
    virtual std::optional<QLineF> findEyes(const LumaImage &image, const QRect &face) const = 0;
};

} // namespace lumo::checks
