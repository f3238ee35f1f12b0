// How the frame keys move and size the photo frame.
#pragma once

#include "frame/FrameGeometry.h"

#include <QPoint>
#include <QPointF>
#include <QString>

#include <optional>

namespace frame {

inline constexpr int kZoomStep = 10;           // pixels of photo width per Q or E
inline constexpr int kSmallestPhotoWidth = 10; // Q stops here
inline constexpr int kLargestPhotoWidth = 600; // E stops here, as far as the width box goes

// The move of one W, A, S or D press in twips; nothing when the step box holds no number.
std::optional<double> moveStepTwips(const QString &stepText);

// The width Q (change -10) or E (change +10) makes of the width box's text; nothing when the
// text holds no number or the result would leave the photo widths the box accepts.
std::optional<int> zoomedWidth(const QString &widthText, int change);

// How far Q moves the frame right and down (E: left and up), in twips, so that the photo
// stays centred horizontally.
double zoomShiftTwips();

// How far the main window grows with E (shrinks with Q), in twips.
int zoomWindowWidthTwips();

// The frame position (left, top in twips) that centres the photo on the cursor.
QPointF frameCentredOn(QPoint cursor, PhotoSize photo);

} // namespace frame
