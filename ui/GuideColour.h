// The live framing guide's colour: green when the head fits the band, orange when it does not.
#pragma once

#include "frame/FrameModel.h"

#include <QColor>

namespace lumo::ui {

inline QColor guideColour(const frame::FramingGuideShape &guide)
{
    return guide.headFits ? QColor(0, 230, 0) : QColor(255, 140, 0);
}

} // namespace lumo::ui
