// The roster test fixtures under tests/data/roster and what their class sheet holds.
#pragma once

#include "roster/SheetGrid.h"

#include <QString>
#include <QStringList>

QString fixturePath(const QString &name);

// The class files (every format and maker) that hold the same class in their sheet "Sheet1".
QStringList classFixtures();

// Columns A to F of rows 1 to 11 of the class sheet, as the readers give them.
SheetGrid expectedClassGrid();
