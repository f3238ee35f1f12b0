// "lumo-cli roster show|mark".
#pragma once

#include <QStringList>

int runRosterCommand(const QStringList &arguments);
