// Keeps out of a settings text box what the settings file cannot hold: "|", line breaks and
// characters that GBK cannot encode.
#pragma once

#include <QValidator>

namespace lumo::ui {

class StorableTextValidator : public QValidator
{
    Q_OBJECT

public:
    using QValidator::QValidator;

    State validate(QString &input, int &position) const override;
};

} // namespace lumo::ui
