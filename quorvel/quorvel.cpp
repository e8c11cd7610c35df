#include "quorvel.h"

#include "filewriter.h"

#include <QFile>
#include <QTextCodec>
#include <QTextStream>

Quorvel::Quorvel(QObject *parent) : QObject(parent) { }

QString Quorvel::source() const { return mSource; }

void Quorvel::setSource(const QString &source)
{
    if (source == mSource)
        return;
    mSource = source;
    emit sourceChanged(mSource);
}

QString Quorvel::read()
{
    if (mSource.isEmpty()) {
        emit error(QStringLiteral("source is empty"));
        return QString();
    }
    // A NUL cannot be part of a file name; QFile would warn about it.
    QFile file(mSource);
    if (mSource.contains(QChar(0)) || !file.open(QIODevice::ReadOnly)) {
        emit error(QStringLiteral("Unable to open the file"));
        return QString();
    }
    QTextStream stream(&file);
    QString fileContent;
    for (;;) {
        const QString line = stream.readLine();
        if (line.isNull())
            break;
        fileContent += line;
    }
    if (file.error() != QFileDevice::NoError) {
        emit error(QStringLiteral("Unable to read the file"));
        return QString();
    }
    return fileContent;
}

bool Quorvel::write(const QString &data)
{
    if (mSource.isEmpty() || mSource.contains(QChar(0)))
        return false;
    QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
    const QByteArray bytes =
            QTextCodec::codecForLocale()->fromUnicode(data.constData(), data.size(), &state);
    return writeFileContent(QFile::encodeName(mSource), bytes);
}
