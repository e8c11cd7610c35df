#ifndef TEXTDECODING_H
#define TEXTDECODING_H

#include <QByteArray>
#include <QString>
#include <QTextCodec>

// Text as the locale's 8-bit encoding gives it, up to the first NUL byte.
QString localText(const char *data, qsizetype size);

// localText() of bytes that arrive in pieces: the result equals localText() of all the
// bytes at once. With a UTF-8 locale the pieces are decoded as they come, so the bytes
// are never all held besides the text.
class LocalTextDecoder
{
public:
    LocalTextDecoder();

    void feed(const char *data, qsizetype size);
    QString finish();

private:
    void append(const char *data, qsizetype size);

    QTextCodec *mCodec;
    bool mIncremental;
    bool mEnded = false; // a NUL byte was seen: what follows is not text
    QByteArray mPending; // not decoded yet
    QString mText;
};

// Decodes a file's bytes as a default text stream reads them and joins its lines: the
// locale's codec unless the data starts with a Unicode byte order mark; LF and CR LF
// removed, a CR that ends the data removed, every other character kept.
//
// Bytes may be fed in pieces of any size; the result equals the line-by-line reading of
// a text stream (which decodes in 16 KiB chunks) for every input.
class JoinedLinesDecoder
{
public:
    // `expectedBytes` sizes the result up front (its untouched part costs no memory).
    explicit JoinedLinesDecoder(qint64 expectedBytes);

    void feed(const char *data, qsizetype size);
    QString finish();

private:
    void decodeChunk(const char *data, qsizetype size);
    void appendWithoutBreaks(const char16_t *text, qsizetype size);
    void appendAsciiWithoutBreaks(const char *text, qsizetype size);
    void reserveFor(qsizetype moreChars);

    QTextCodec *mCodec = nullptr;
    bool mUtf8 = false;
    QTextCodec::ConverterState mState;
    QByteArray mPending; // bytes short of a whole chunk
    QString mText;
    qsizetype mLength = 0; // of mText in use; the rest is reserved
    bool mPendingCr = false;
    qint64 mExpectedBytes;
};

#endif
