// Qt's own texts (the buttons of message boxes, the file dialog) in Simplified Chinese, from
// Qt's translation catalogue.
#pragma once

class QCoreApplication;

namespace lumo::platform {

// Installs Qt's Chinese catalogue into the application; false when it is not installed
// (qt6-translations-l10n), and Qt's texts stay English.
bool installChineseTranslations(QCoreApplication &application);

} // namespace lumo::platform
