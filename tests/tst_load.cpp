// One engine, many calls: file descriptors, child processes and resident memory stay flat.
// SOAK_SECONDS=<n> in the environment turns each test into a soak run of that length.

#include "processstats.h"
#include "qmltest.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Figures
{
    int descriptors = openDescriptors();
    int children = childProcesses();
    qint64 resident = residentBytes();
};

// Leaks of a few bytes a call add up over thousands of calls; the allocator's own
// swings stay well below this.
constexpr qint64 residentSlack = 4 * 1024 * 1024;

// AddressSanitizer holds freed memory in quarantine, so resident memory grows by design;
// its leak checker covers that build instead.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool residentMemoryTells = false;
#elif defined(__has_feature)
constexpr bool residentMemoryTells = !__has_feature(address_sanitizer);
#else
constexpr bool residentMemoryTells = true;
#endif

} // namespace

class tst_Load : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void readWriteCycles();
    void launches();

private:
    template<typename Call>
    void repeat(const char *what, int count, Call call);

    QQmlEngine mEngine;
    std::unique_ptr<QObject> mFile;
    std::unique_ptr<QObject> mLauncher;
    qint64 mSoakMilliseconds = qEnvironmentVariableIntValue("SOAK_SECONDS") * qint64(1000);
};

void tst_Load::initTestCase()
{
    addTestImportDir(mEngine);
    mFile = createQmlObject(mEngine, "import Quorvel 1.0\nQuorvel {}");
    mLauncher = createQmlObject(mEngine, "import Dorvik 1.0\nLauncher {}");
    QVERIFY(mFile && mLauncher);
}

// Runs a tenth of the calls to warm up, measures, runs the rest (or until the soak time
// is over) and measures again.
template<typename Call>
void tst_Load::repeat(const char *what, int count, Call call)
{
    const int warmUp = count / 10;
    for (int i = 0; i < warmUp; ++i)
        QVERIFY(call(i));
    const Figures before;
    QElapsedTimer clock;
    clock.start();
    int calls = warmUp;
    while (calls < count || clock.elapsed() < mSoakMilliseconds) {
        if (!call(calls++))
            QFAIL(qPrintable(QStringLiteral("call %1 failed").arg(calls)));
        // A host returns to its event loop between calls, where the objects that QProcess
        // deletes later (its socket notifiers) go; without that this would measure them.
        if (calls % 100 == 0)
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    const Figures after;
    qInfo("%d %s in %lld ms; descriptors %d -> %d, children %d -> %d, resident %.1f -> %.1f MiB",
          calls, what, clock.elapsed() + 0LL, before.descriptors, after.descriptors,
          before.children, after.children, before.resident / 1048576.0, after.resident / 1048576.0);
    QCOMPARE(after.descriptors, before.descriptors);
    QCOMPARE(after.children, before.children);
    if (residentMemoryTells)
        QVERIFY2(after.resident - before.resident < residentSlack, "resident memory grew");
}

void tst_Load::readWriteCycles()
{
    // On a RAM disk when there is one: what is measured is the host, not the disk's syncs.
    QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                              ? QStringLiteral("/dev/shm/tst_load-XXXXXX")
                              : QString());
    QVERIFY(dir.isValid());
    mFile->setProperty("source", dir.filePath(QStringLiteral("cycle.txt")));
    repeat("read/write cycles", 10000, [this](int i) {
        const QString text = QStringLiteral("cycle %1\nsecond line\r\n").arg(i);
        bool written = false;
        QString read;
        QMetaObject::invokeMethod(mFile.get(), "write", Q_RETURN_ARG(bool, written),
                                  Q_ARG(QString, text));
        QMetaObject::invokeMethod(mFile.get(), "read", Q_RETURN_ARG(QString, read));
        return written && read == QStringLiteral("cycle %1second line").arg(i);
    });
}

void tst_Load::launches()
{
    repeat("launches", 2000, [this](int i) {
        QString output;
        QMetaObject::invokeMethod(mLauncher.get(), "launch", Q_RETURN_ARG(QString, output),
                                  Q_ARG(QString, QStringLiteral("echo %1").arg(i)));
        return output == QStringLiteral("%1\n").arg(i);
    });
}

QTEST_GUILESS_MAIN(tst_Load)

#include "tst_load.moc"
