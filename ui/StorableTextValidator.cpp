#include "ui/StorableTextValidator.h"

#include "settings/SettingsFile.h"

namespace lumo::ui {

QValidator::State StorableTextValidator::validate(QString &input, int &) const
{
    return settings::isStorable(input) ? Acceptable : Invalid;
}

} // namespace lumo::ui
