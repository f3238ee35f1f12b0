#include "app/StorableTextValidator.h"

#include "settings/SettingsFile.h"

QValidator::State StorableTextValidator::validate(QString &input, int &) const
{
    return settings::isStorable(input) ? Acceptable : Invalid;
}
