// The watched folder: the folder's changes tell of new files, a short poll tells when one has
// stopped growing, and it is read on a thread of its own so that a large camera picture does not
// hold up the window. A picture is handed over only when it is whole: a JPEG up to its end
// marker, a PNG up to its end chunk, a BMP to the size its header gives.
#pragma once

#include "platform/FolderWatch.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QHash>
#include <QSet>
#include <QThreadPool>
#include <QTimer>

namespace lumo::platform {

class FolderWatcher : public FolderWatch
{
    Q_OBJECT

public:
    explicit FolderWatcher(QObject *parent = nullptr);
    ~FolderWatcher() override;

    void watch(const QString &folder) override;
    QString watchedFolder() const override { return m_folder; }

private:
    struct Version
    {
        qint64 size = -1;
        QDateTime modified;
        bool operator==(const Version &) const = default;
    };
    struct Waiting
    {
        Version version;
        QElapsedTimer unchanged;
        bool readFailed = false; // this version did not decode
    };

    QStringList pictureNames() const;
    Version versionOf(const QString &name) const; // size -1: gone
    void look();
    void poll();
    void read(const QString &name, const Version &version);
    void wasRead(const QString &name, const Version &version, const QImage &picture);

    QString m_folder;
    QFileSystemWatcher m_watcher;
    QTimer m_poll;
    QThreadPool m_reader;
    QSet<QString> m_done; // there when watching started, or handed over
    QHash<QString, Waiting> m_waiting;
    QHash<QString, Version> m_skipped; // never decoded; taken up again if they change
    QSet<QString> m_reading;
    quint64 m_generation = 0; // raised by watch(): what is read for an earlier folder is dropped
};

} // namespace lumo::platform
