#ifndef TEXTSTREAMREAD_H
#define TEXTSTREAMREAD_H

#include <QFile>
#include <QString>
#include <QTextStream>

// The reference reading of a text file that Quorvel::read() must match exactly: a default
// text stream read line by line, the lines appended with nothing between them.
inline QString textStreamRead(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QTextStream stream(&file);
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
