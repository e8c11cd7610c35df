#include "fixture.h"

#include <QDir>
#include <QFile>

QString Fixture::dir() const
{
    return mDir.path();
}

QString Fixture::path(const QString &name) const
{
    return mDir.filePath(name);
}

bool Fixture::enter() const
{
    return QDir::setCurrent(mDir.path());
}

bool Fixture::writeBytes(const QString &name, const QString &bytes) const
{
    QFile file(path(name));
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            && file.write(bytes.toLatin1()) == bytes.size() && file.flush();
}

QString Fixture::readBytes(const QString &name) const
{
    QFile file(path(name));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLatin1(file.readAll());
}

bool Fixture::exists(const QString &name) const
{
    return QFile::exists(path(name));
}

bool Fixture::makeDir(const QString &name) const
{
    return QDir(mDir.path()).mkpath(name);
}

bool Fixture::remove(const QString &name) const
{
    return QFile::remove(path(name));
}

QStringList Fixture::entries() const
{
    return QDir(mDir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}
