// Pictures that another program puts into a folder (a tethered camera, a phone upload, a
// scanner) become photos: each new picture is handed over once it is complete.
#pragma once

#include <QImage>
#include <QObject>
#include <QString>

namespace lumo::platform {

class FolderWatch : public QObject
{
    Q_OBJECT

public:
    // Watches the folder for new pictures (.jpg, .jpeg, .png, .bmp, any case); pictures already
    // there are not taken. An empty folder stops watching.
    virtual void watch(const QString &folder) = 0;
    virtual QString watchedFolder() const = 0;

signals:
    // A new picture, once its size has stopped changing and it decodes.
    void pictureArrived(const QImage &picture, const QString &path);
};

} // namespace lumo::platform
