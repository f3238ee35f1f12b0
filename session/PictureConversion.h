// Pictures as Qt holds them, in the form the photo layer and the checks take.
#pragma once

#include "photo/BgrImage.h"

#include <QImage>

namespace lumo::session {

// Blue-green-red rows, with the picture's resolution; empty for a null picture.
photo::BgrImage toBgrImage(const QImage &picture);

} // namespace lumo::session
