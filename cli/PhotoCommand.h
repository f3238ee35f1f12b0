// "lumo-cli photo": registry photos converted, checked and resampled by the save's own core.
#pragma once

#include <QStringList>

int runPhotoCommand(const QStringList &arguments);
