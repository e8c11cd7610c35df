#include "varnah.h"

#include <QByteArray>

namespace {

// UTF-8, ending at the first NUL, as the C library would read it.
QByteArray toEnvironmentBytes(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    const int nul = bytes.indexOf('\0');
    return nul < 0 ? bytes : bytes.left(nul);
}

QString fromEnvironmentBytes(const QByteArray &bytes)
{
    const int nul = bytes.indexOf('\0');
    return QString::fromUtf8(bytes.constData(), nul < 0 ? bytes.size() : nul);
}

} // namespace

Varnah::Varnah(QObject *parent)
    : QObject(parent)
{
}

QString Varnah::value(const QString &name)
{
    const QByteArray variable = toEnvironmentBytes(name);
    // getenv() matches "A=B" against the entry "A=B=c" and answers "c": such a name can
    // never be set, so it has no value.
    if (variable.isEmpty() || variable.contains('='))
        return QString();
    return fromEnvironmentBytes(qgetenv(variable.constData()));
}

void Varnah::setValue(const QString &name, const QString &value)
{
    qputenv(toEnvironmentBytes(name).constData(), toEnvironmentBytes(value));
}

void Varnah::unset(const QString &name)
{
    qunsetenv(toEnvironmentBytes(name).constData());
}
