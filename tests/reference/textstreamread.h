#ifndef TEXTSTREAMREAD_H
#define TEXTSTREAMREAD_H

#include <QFile>
#include <QString>
#include <QTextCodec>
#include <QTextStream>

// Qt 5's text streams decode with the codec for the locale by default; Qt 6's decode
// UTF-8 unless given an encoding, and know only the encodings built into Qt.
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
inline std::optional<QStringConverter::Encoding> localeStreamEncoding()
{
    return QStringConverter::encodingForName(QTextCodec::codecForLocale()->name().constData());
}
#endif

// Whether a text stream can decode with the codec set for the locale.
inline bool textStreamKnowsLocaleCodec()
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return localeStreamEncoding().has_value();
#else
    return true;
#endif
}

// The reference reading of a text file that Quorvel::read() must match exactly: a text
// stream with the locale's codec read line by line, the lines appended with nothing
// between them.
inline QString textStreamRead(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QTextStream stream(&file);
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    if (const auto encoding = localeStreamEncoding())
        stream.setEncoding(*encoding);
#endif
    QString fileContent;
    for (;;) {
        const QString line = stream.readLine();
        if (line.isNull())
            break;
        fileContent += line;
    }
    return fileContent;
}

#endif
