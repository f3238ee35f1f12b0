// Registry photos made at test time from the public-domain example faces that libdlib19.1
// installs (PASCAL VOC photos with hand-marked face boxes): a good framing of each face on a
// plain light backdrop, and the same faces with one fault each.
#pragma once

#include "photo/BgrImage.h"

#include <QString>

#include <vector>

namespace checkstest {

struct FacePhoto
{
    QString fault; // the code the photo should get; empty for a good photo
    QString name;  // face and variant, for failure messages
    lumo::photo::BgrImage image;
};

// Six good photos of each face and one of each fault. Fails the calling test when the faces are not
// installed.
const std::vector<FacePhoto> &facePhotos();

// The photo under a live frame: a good framing at another size, its head at that share of the
// height.
lumo::photo::BgrImage framedFace(int width, int height, double headShare);

} // namespace checkstest
