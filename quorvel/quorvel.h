#ifndef QUORVEL_H
#define QUORVEL_H

#include <QObject>
#include <QString>

// A text file, named by `source`, read as one string or replaced as a whole.
// The path is used as given: relative to the working directory, no URL scheme removed.
class Quorvel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString source READ source WRITE setSource NOTIFY sourceChanged)

public:
    explicit Quorvel(QObject *parent = nullptr);

    QString source() const;

    // The file's lines joined without their line breaks (LF and CRLF; a lone CR stays),
    // decoded with the locale's encoding unless a byte order mark names another.
    // On failure emits error() before returning an empty string: "source is empty",
    // "Unable to open the file" or "Unable to read the file".
    Q_INVOKABLE QString read();

    // Replaces the file's content with `data` in the locale's encoding, no byte order mark.
    // Returns false, with the old content kept, when source is empty, the file cannot be
    // opened or any part of `data` did not reach it. Emits no signal.
    Q_INVOKABLE bool write(const QString &data);

public slots:
    void setSource(const QString &source);

signals:
    void sourceChanged(const QString &source);
    void error(const QString &msg);

private:
    QString mSource;
};

#endif
