// Where photos come from, kept in a second settings file beside the legacy one
// ("config/lumo.ini"), so that the legacy file stays as it always was.
#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

namespace lumo::settings {

enum class PhotoSourceKind {
    Screen, // the screen inside the photo frame, over another program's camera window
    Camera, // Lumo reads the camera itself and shows it in its own window
    Folder, // each new picture in a watched folder
};

struct SourceSettings
{
    PhotoSourceKind source = PhotoSourceKind::Screen;
    QByteArray cameraId;    // empty: the default camera
    QSize cameraResolution; // empty: the highest at 15 frames a second or more
    QString watchedFolder;

    friend bool operator==(const SourceSettings &, const SourceSettings &) = default;
};

inline constexpr const char *kSourceSettingsFileName = "lumo.ini";

// The settings in the file; the defaults (the screen) for a missing or damaged file or value.
SourceSettings readSourceSettings(const QString &path);

// Writes the file; false, with the reason, when it cannot be written.
bool writeSourceSettings(const QString &path, const SourceSettings &settings, QString *reason);

} // namespace lumo::settings
