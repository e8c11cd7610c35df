// Two QML engines on two threads use Quorvel and Varnah at the same time. Run under
// ThreadSanitizer by `make test-tsan`.

#include "qmltest.h"

#include <QTemporaryDir>
#include <QtTest>

#include <thread>

namespace {

const QByteArray worker = R"(
import QtQml 2.15
import Quorvel 1.0
import Varnah 1.0

QtObject {
    property Quorvel file: Quorvel {}
    property Varnah env: Varnah {}

    function run(id, rounds, path) {
        file.source = path
        const name = "THREADS_TEST_" + id
        for (let i = 0; i < rounds; ++i) {
            const text = id + " round " + i
            if (!file.write(text + "\n") || file.read() !== text)
                return "file round " + i
            env.setValue(name, text)
            if (env.value(name) !== text)
                return "environment round " + i
        }
        env.unset(name)
        return "done"
    }
}
)";

QString runWorker(int id, int rounds, const QString &path)
{
    QQmlEngine engine;
    addTestImportDir(engine);
    const std::unique_ptr<QObject> object = createQmlObject(engine, worker);
    if (!object)
        return QStringLiteral("no object");
    QVariant result;
    QMetaObject::invokeMethod(object.get(), "run", Q_RETURN_ARG(QVariant, result),
                              Q_ARG(QVariant, id), Q_ARG(QVariant, rounds), Q_ARG(QVariant, path));
    return result.toString();
}

} // namespace

class tst_Threads : public QObject
{
    Q_OBJECT

private slots:
    void twoEnginesAtOnce();
};

void tst_Threads::twoEnginesAtOnce()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString results[2];
    std::thread threads[2];
    for (int id = 0; id < 2; ++id) {
        const QString path = dir.filePath(QStringLiteral("thread%1.txt").arg(id));
        threads[id] = std::thread([&results, id, path] { results[id] = runWorker(id, 500, path); });
    }
    for (std::thread &thread : threads)
        thread.join();
    QCOMPARE(results[0], QStringLiteral("done"));
    QCOMPARE(results[1], QStringLiteral("done"));
}

QTEST_GUILESS_MAIN(tst_Threads)

#include "tst_threads.moc"
