// "lumo-cli pack": the class archive of an output folder, as the archive button makes it.
#pragma once

#include <QStringList>

int runPackCommand(const QStringList &arguments);
