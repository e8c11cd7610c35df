#ifndef FIXTURE_H
#define FIXTURE_H

#include <QObject>
#include <QTemporaryDir>

// Files for the QML tests, in a fresh temporary folder. Bytes cross as strings of code points
// 0-255, one per byte, so a test can write "\xFF\xFE" or "a\r\n" exactly.
class Fixture : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString dir READ dir CONSTANT)

public:
    QString dir() const;

    Q_INVOKABLE QString path(const QString &name) const;
    // Makes the folder the process's working directory.
    Q_INVOKABLE bool enter() const;
    Q_INVOKABLE bool writeBytes(const QString &name, const QString &bytes) const;
    Q_INVOKABLE QString readBytes(const QString &name) const;
    Q_INVOKABLE bool exists(const QString &name) const;
    Q_INVOKABLE bool makeDir(const QString &name) const;
    Q_INVOKABLE bool remove(const QString &name) const;
    Q_INVOKABLE QStringList entries() const;

private:
    QTemporaryDir mDir;
};

#endif
