#ifndef VARNAH_H
#define VARNAH_H

#include <QObject>
#include <QString>

// The host process's environment variables. Names and values cross as UTF-8 and end at
// their first NUL character. Changes are seen by the whole process and by every child
// process started afterwards. Nothing is reported: a change the platform refuses (an
// empty name, a name with '=') simply does not happen.
class Varnah : public QObject
{
    Q_OBJECT

public:
    explicit Varnah(QObject *parent = nullptr);

    // The variable's value; empty when it is not set, or when `name` is empty or contains '='.
    Q_INVOKABLE static QString value(const QString &name);
    // Sets or replaces the variable.
    Q_INVOKABLE static void setValue(const QString &name, const QString &value);
    // Removes the variable.
    Q_INVOKABLE static void unset(const QString &name);
};

#endif
