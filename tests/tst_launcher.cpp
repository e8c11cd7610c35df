// Launcher behaviour that QML cannot see: the codec used for the output, and what many
// launches leave behind in the host (file descriptors, child processes).

#include "processstats.h"
#include "qmltest.h"

#include <QTextCodec>
#include <QtTest>

class tst_Launcher : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void decodesWithLocaleCodec();
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
