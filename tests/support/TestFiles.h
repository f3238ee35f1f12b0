// Small file helpers for tests.
#pragma once

#include <QByteArray>
#include <QString>

QByteArray readBytes(const QString &path);
void writeBytes(const QString &path, const QByteArray &bytes);

// Text as GBK bytes, as the settings file holds it.
QByteArray gbk(const QString &text);
