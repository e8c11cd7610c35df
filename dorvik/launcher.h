#ifndef LAUNCHER_H
#define LAUNCHER_H

#include <QObject>
#include <QString>

class QProcess;

// Runs command lines, one at a time, and returns what they write to standard output.
class Launcher : public QObject
{
    Q_OBJECT

public:
    explicit Launcher(QObject *parent = nullptr);

    // Runs `program`, a command line split into words at whitespace outside double quotes
    // (no shell), waits for it to end, however long that takes, and returns its standard
    // output decoded with the locale's encoding, up to the first NUL. Its standard input is
    // closed at once; its standard error is dropped. Returns an empty string when the
    // command line is blank or the program cannot be started.
    Q_INVOKABLE QString launch(const QString &program);

private:
    QProcess *m_process;
};

#endif
