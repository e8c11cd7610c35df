#ifndef FILES_H
#define FILES_H

#include <QByteArray>
#include <QFile>
#include <QString>

#include <sys/stat.h>

// Plain file access for setting up and checking fixtures, beside the module under test.

inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            && file.write(bytes) == bytes.size() && file.flush();
}

// What the path itself names (a link is not followed); zeroes when nothing.
inline struct stat lstatOf(const QString &path)
{
    struct stat st = {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st;
}

#endif
