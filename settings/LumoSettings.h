// The settings Lumo added beyond the legacy ones (where photos come from, the photo checks, the
// best quality, the registry code for students without an ID-card number), kept in a second file
// beside the legacy one ("config/lumo.ini"), so that the legacy file stays as it always was.
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

struct LumoSettings
{
    PhotoSourceKind source = PhotoSourceKind::Screen;
    QByteArray cameraId;    // empty: the default camera
    QSize cameraResolution; // empty: the highest at 15 frames a second or more
    QString watchedFolder;
    bool checkPhotos = true; // "拍照检查": every photo is checked before the class moves on
    bool bestQuality = false; // "最佳画质": the best JPEG quality that fits, not quality 80 passes
    // "学校标识码" and "班号": with both, students without an ID-card number are photographed
    // under the registry's name for them.
    QString schoolCode{};
    QString classNumber{};

    friend bool operator==(const LumoSettings &, const LumoSettings &) = default;
};

inline constexpr const char *kLumoSettingsFileName = "lumo.ini";

// The settings in the file; the defaults for a missing or damaged file or value. *found tells
// whether there was a file.
LumoSettings readLumoSettings(const QString &path, bool *found = nullptr);

// Writes the file; false, with the reason, when it cannot be written.
bool writeLumoSettings(const QString &path, const LumoSettings &settings, QString *reason);

} // namespace lumo::settings
