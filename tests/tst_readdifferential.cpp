// Quorvel's read() against the reference text-stream reading, on files made to break a
// chunked decoder: line breaks and multi-byte characters across chunk boundaries, every
// byte order mark, invalid UTF-8, NUL bytes, a CR at the very end, only line breaks; and
// thousands of seeded random files leaning on the same features. Each under the locale
// codec UTF-8 and under other codecs set for the locale.

#include "qmltest.h"
#include "reference/textstreamread.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

namespace {

constexpr int chunk = 16384; // the text stream's
constexpr int readChunk = 256 * 1024; // Quorvel's reads

const QByteArray boms[] = {QByteArray(),
                           QByteArray("\xEF\xBB\xBF"),
                           QByteArray("\xFF\xFE"),
                           QByteArray("\xFE\xFF"),
                           QByteArray("\xFF\xFE\x00\x00", 4),
                           QByteArray("\x00\x00\xFE\xFF", 4)};

// Pieces a random file is made of; multi-byte sequences and line breaks are favoured.
const QByteArray pieces[] = {"a",
                             "line of text ",
                             "\n",
                             "\r\n",
                             "\r",
                             "\r\r\n",
                             QByteArray("\0", 1),
                             "\xC3\xA9",
                             "\xE6\x97\xA5",
                             "\xF0\x9F\x98\x80",
                             "\xC3",
                             "\xE6\x97",
                             "\xF0\x9F",
                             "\xFF",
                             "\x80\x80",
                             "\xED\xA0\x80",
                             "\xEF\xBB\xBF",
                             "\x00\x0A"};

QByteArray filler(int size)
{
    QByteArray bytes;
    while (bytes.size() < size)
        bytes += "0123456789 abcdefghij\n";
    return bytes.left(size);
}

// `piece` placed so that it straddles offset `boundary`, `shift` bytes before it.
QByteArray across(int boundary, int shift, const QByteArray &piece, const QByteArray &start = {})
{
    return start + filler(boundary - shift - start.size()) + piece + filler(300);
}

QByteArray randomFile(QRandomGenerator &random)
{
    QByteArray bytes = boms[random.bounded(int(std::size(boms)))];
    // Mostly small, some past one or two chunks, a few past one read.
    const int sizes[] = {64, 1024, chunk + 100, 3 * chunk, readChunk + 2000};
    const int size = sizes[random.bounded(random.bounded(10) == 0 ? 5 : 4)];
    while (bytes.size() < size) {
        const QByteArray &piece = pieces[random.bounded(int(std::size(pieces)))];
        bytes += random.bounded(4) == 0 ? filler(random.bounded(200)) : piece;
    }
    if (random.bounded(8) == 0)
        bytes += '\r';
    return bytes;
}

} // namespace

class tst_ReadDifferential : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void trickyFiles_data();
    void trickyFiles();
    void randomFiles_data();
    void randomFiles();

private:
    void compareWithReference(const QByteArray &bytes, const QByteArray &codec);

    QQmlEngine mEngine;
    std::unique_ptr<QObject> mFile;
    std::unique_ptr<QTemporaryDir> mDir;
    QString mPath;
};

void tst_ReadDifferential::initTestCase()
{
    addTestImportDir(mEngine);
    mFile = createQmlObject(mEngine, "import Quorvel 1.0\nQuorvel {}");
    QVERIFY(mFile);
    mDir = std::make_unique<QTemporaryDir>(QDir(QStringLiteral("/dev/shm")).exists()
                                                   ? QStringLiteral("/dev/shm/tst_read-XXXXXX")
                                                   : QString());
    QVERIFY(mDir->isValid());
    mPath = mDir->filePath(QStringLiteral("file.txt"));
    mFile->setProperty("source", mPath);
}

void tst_ReadDifferential::cleanup()
{
    QTextCodec::setCodecForLocale(nullptr);
}

void tst_ReadDifferential::compareWithReference(const QByteArray &bytes, const QByteArray &codec)
{
    QTextCodec::setCodecForLocale(QTextCodec::codecForName(codec));
    if (!textStreamKnowsLocaleCodec())
        QSKIP("this Qt's text streams cannot decode with the locale codec: no reference");
    QFile file(mPath);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
    file.close();
    QString text;
    QMetaObject::invokeMethod(mFile.get(), "read", Q_RETURN_ARG(QString, text));
    const QString reference = textStreamRead(mPath);
    if (text != reference) {
        int at = 0;
        while (at < text.size() && at < reference.size() && text.at(at) == reference.at(at))
            ++at;
        QFAIL(qPrintable(QStringLiteral("%1 bytes under %2: differs at character %3 (%4 vs %5 "
                                        "characters)")
                                 .arg(bytes.size())
                                 .arg(QString::fromLatin1(codec))
                                 .arg(at)
                                 .arg(text.size())
                                 .arg(reference.size())));
    }
}

void tst_ReadDifferential::trickyFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("codec");
    QList<QPair<QString, QByteArray>> files = {
            {QStringLiteral("empty"), QByteArray()},
            {QStringLiteral("only line breaks"), "\n\r\n\n\r\r\n\n"},
            {QStringLiteral("lone CR at the very end"), "abc\r"},
            {QStringLiteral("only a CR"), "\r"},
            {QStringLiteral("NUL bytes"), QByteArray("a\0b\n\0\r\n\0", 8)},
            {QStringLiteral("invalid UTF-8"),
             "\xC3\x28 \xE2\x82 \xF0\x9F\x98 \xFF\xFE\xFD \xC0\xAF\n\xED\xA0\x80"},
            {QStringLiteral("BOM only"), "\xEF\xBB\xBF"},
            {QStringLiteral("two BOMs"), "\xEF\xBB\xBF\xEF\xBB\xBFx"},
            {QStringLiteral("UTF-16LE odd length"), "\xFF\xFEx\x00\n"},
            {QStringLiteral("UTF-32BE BOM then CRLF"),
             QByteArray("\x00\x00\xFE\xFF\x00\x00\x00\r\x00\x00\x00\n", 12)},
    };
    for (const int boundary : {chunk, 2 * chunk, readChunk}) {
        for (const int shift : {1, 2, 3}) {
            const QString at = QStringLiteral(" %1 before %2").arg(shift).arg(boundary);
            files << qMakePair(QStringLiteral("CRLF") + at, across(boundary, shift, "\r\n"));
            files << qMakePair(QStringLiteral("CR CR LF") + at, across(boundary, shift, "\r\r\n"));
            files << qMakePair(QStringLiteral("4-byte character") + at,
                               across(boundary, shift, "\xF0\x9F\x98\x80"));
            files << qMakePair(QStringLiteral("3-byte character") + at,
                               across(boundary, shift, "\xE6\x97\xA5"));
            files << qMakePair(QStringLiteral("truncated sequence") + at,
                               across(boundary, shift, "\xF0\x9F\x98"));
            files << qMakePair(QStringLiteral("UTF-16LE CRLF") + at,
                               across(boundary, shift, QByteArray("\r\0\n\0", 4), "\xFF\xFE"));
        }
        files << qMakePair(QStringLiteral("CR ending the data at %1").arg(boundary),
                           filler(boundary - 1) + '\r');
    }
    for (const QByteArray &bom : boms)
        files << qMakePair(QStringLiteral("BOM %1").arg(QString::fromLatin1(bom.toHex())),
                           bom + QByteArray("a\0\r\0\n\0b\0\0\0", 10) + filler(chunk));
    for (const char *codec : {"UTF-8", "ISO-8859-1", "Shift_JIS"}) {
        for (const auto &file : files)
            QTest::addRow("%s, %s", qPrintable(file.first), codec)
                    << file.second << QByteArray(codec);
    }
}

void tst_ReadDifferential::trickyFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, codec);
    compareWithReference(bytes, codec);
}

void tst_ReadDifferential::randomFiles_data()
{
    QTest::addColumn<QByteArray>("codec");
    QTest::addColumn<quint32>("seed");
    QTest::newRow("UTF-8") << QByteArray("UTF-8") << 1u;
    QTest::newRow("ISO-8859-1") << QByteArray("ISO-8859-1") << 2u;
    QTest::newRow("Shift_JIS") << QByteArray("Shift_JIS") << 3u;
}

void tst_ReadDifferential::randomFiles()
{
    QFETCH(QByteArray, codec);
    QFETCH(quint32, seed);
    QTextCodec::setCodecForLocale(QTextCodec::codecForName(codec));
    if (!textStreamKnowsLocaleCodec())
        QSKIP("this Qt's text streams cannot decode with the locale codec: no reference");
    QRandomGenerator random(seed);
    for (int i = 0; i < 1500; ++i) {
        compareWithReference(randomFile(random), codec);
        if (QTest::currentTestFailed())
            QFAIL(qPrintable(QStringLiteral("random file %1 of seed %2").arg(i).arg(seed)));
    }
}

QTEST_GUILESS_MAIN(tst_ReadDifferential)

#include "tst_readdifferential.moc"
