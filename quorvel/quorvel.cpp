#include "quorvel.h"

#include "filewriter.h"
#include "textdecoding.h"

#include <QFile>
#include <QTextCodec>

namespace {

constexpr qint64 readChunk = 256 * 1024;

} // namespace

Quorvel::Quorvel(QObject *parent)
    : QObject(parent)
{
}

QString Quorvel::source() const
{
    return mSource;
}

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
    if (mSource.contains(QChar(0)) || !file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        emit error(QStringLiteral("Unable to open the file"));
        return QString();
    }
    JoinedLinesDecoder decoder(file.size());
    QByteArray buffer(int(readChunk), Qt::Uninitialized);
    for (;;) {
        const qint64 read = file.read(buffer.data(), readChunk);
        if (read < 0) {
            emit error(QStringLiteral("Unable to read the file"));
            return QString();
        }
        if (read == 0)
            return decoder.finish();
        decoder.feed(buffer.constData(), qsizetype(read));
    }
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
