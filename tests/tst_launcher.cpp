// Launcher behaviour that QML cannot see: the codec used for the output, and what many
// launches leave behind in the host (file descriptors, child processes).

#include "processstats.h"
#include "qmltest.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

namespace {

// Output that arrives in many pieces and breaks a piecewise decoder if anything does.
QByteArray randomOutput(QRandomGenerator &random)
{
    static const QByteArray pieces[] = {
            "plain text ",      "\n",           "\r\n", "a",        "\xC3\xA9", "\xE6\x97\xA5",
            "\xF0\x9F\x98\x80", "\xEF\xBB\xBF", "\xC3", "\xF0\x9F", "\xFF",     "\x80"};
    QByteArray bytes;
    const int size = random.bounded(2) ? random.bounded(300000) : random.bounded(2000);
    const bool noAscii = random.bounded(5) == 0; // no place where two ASCII bytes meet
    while (bytes.size() < size) {
        const int piece = random.bounded(noAscii ? 4 : 0, int(std::size(pieces)));
        bytes += pieces[noAscii ? piece + 4 > 11 ? 5 : piece + 4 : piece];
    }
    if (random.bounded(10) == 0)
        bytes.insert(random.bounded(bytes.size() + 1), '\0');
    return bytes;
}

} // namespace

class tst_Launcher : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void decodesWithLocaleCodec();
    void outputDecodedAsAWhole_data();
    void outputDecodedAsAWhole();
    void manyLaunchesLeaveNothingBehind();

private:
    QString launch(const QString &command);

    QQmlEngine mEngine;
    std::unique_ptr<QObject> mLauncher;
};

void tst_Launcher::initTestCase()
{
    addTestImportDir(mEngine);
    mLauncher = createQmlObject(mEngine, "import Dorvik 1.0\nLauncher {}");
    QVERIFY(mLauncher);
}

void tst_Launcher::cleanup()
{
    QTextCodec::setCodecForLocale(nullptr);
}

QString tst_Launcher::launch(const QString &command)
{
    QString output;
    QMetaObject::invokeMethod(mLauncher.get(), "launch", Q_RETURN_ARG(QString, output),
                              Q_ARG(QString, command));
    return output;
}

void tst_Launcher::decodesWithLocaleCodec()
{
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("ISO-8859-1"));
    QCOMPARE(launch(QStringLiteral("printf \\351t\\351")), QStringLiteral("\u00E9t\u00E9"));
    QCOMPARE(launch(QStringLiteral("printf \\303\\251\\000rest")), QStringLiteral("\u00C3\u00A9"));
}

void tst_Launcher::outputDecodedAsAWhole_data()
{
    QTest::addColumn<QByteArray>("codec");
    QTest::addColumn<quint32>("seed");
    QTest::newRow("UTF-8") << QByteArray("UTF-8") << 11u;
    QTest::newRow("ISO-8859-1") << QByteArray("ISO-8859-1") << 12u;
    QTest::newRow("Shift_JIS") << QByteArray("Shift_JIS") << 13u;
}

// However the output arrives, the result is the locale's decoding of all of it up to its
// first NUL byte.
void tst_Launcher::outputDecodedAsAWhole()
{
    QFETCH(QByteArray, codec);
    QFETCH(quint32, seed);
    QTextCodec::setCodecForLocale(QTextCodec::codecForName(codec));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("output"));
    QRandomGenerator random(seed);
    for (int i = 0; i < 150; ++i) {
        const QByteArray bytes = randomOutput(random);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        const int nul = bytes.indexOf('\0');
        const QString expected = QTextCodec::codecForLocale()->toUnicode(
                bytes.constData(), nul < 0 ? bytes.size() : nul);
        const QString output = launch(QStringLiteral("cat ") + path);
        if (output != expected)
            QFAIL(qPrintable(
                    QStringLiteral("output %1 (%2 bytes) differs").arg(i).arg(bytes.size())));
    }
}

void tst_Launcher::manyLaunchesLeaveNothingBehind()
{
    launch(QStringLiteral("true")); // the process object's first start opens what it keeps
    const int descriptors = openDescriptors();
    const int children = childProcesses();
    for (int i = 0; i < 300; ++i) {
        QCOMPARE(launch(QStringLiteral("echo %1").arg(i)), QStringLiteral("%1\n").arg(i));
        launch(QStringLiteral("no-such-program-dorvik"));
    }
    QCOMPARE(openDescriptors(), descriptors);
    QCOMPARE(childProcesses(), children);
}

QTEST_GUILESS_MAIN(tst_Launcher)

#include "tst_launcher.moc"
