// "lumo-cli roster show|check|mark".
#pragma once

#include <QStringList>

int runRosterCommand(const QStringList &arguments);
