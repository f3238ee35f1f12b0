// The photo size and frame size shared by the main window and the photo frame.
#pragma once

#include <QtGlobal>

struct ProgramWide
{
    qint16 QjZhaoPKuan = 0; // photo width, pixels
    qint16 QjZhaoPGao = 0;  // photo height, pixels
    qint16 QjKK = 0;        // frame width, twips
    qint16 QjKG = 0;        // frame height, twips
};
