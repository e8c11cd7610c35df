// What a child process started after a change finds in its environment.

#include "qmltest.h"

#include <QProcess>
#include <QtTest>

class tst_Varnah : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void childSeesChanges_data();
    void childSeesChanges();

private:
    QQmlEngine mEngine;
    std::unique_ptr<QObject> mEnv;
};

void tst_Varnah::initTestCase()
{
    addTestImportDir(mEngine);
    mEnv = createQmlObject(mEngine, "import Varnah 1.0\nVarnah {}");
    QVERIFY(mEnv);
}

void tst_Varnah::childSeesChanges_data()
{
    QTest::addColumn<QString>("value"); // a null value: unset
    QTest::addColumn<QByteArray>("seen"); // what the child prints
    QTest::newRow("set") << QStringLiteral("1") << QByteArray("set:1");
    QTest::newRow("non-ASCII") << QStringLiteral("gr\u00FC\u00DFe")
                               << QByteArray("set:gr\xC3\xBC\xC3\x9F"
                                             "e");
    // On Linux an empty value stays a variable: the child finds it present and empty.
    QTest::newRow("empty value") << QStringLiteral("") << QByteArray("set:");
    QTest::newRow("unset") << QString() << QByteArray("unset");
}

void tst_Varnah::childSeesChanges()
{
    QFETCH(QString, value);
    QFETCH(QByteArray, seen);
    const QString name = QStringLiteral("VARNAH_CHILD");
    QMetaObject::invokeMethod(mEnv.get(), "setValue", Q_ARG(QString, name),
                              Q_ARG(QString, QStringLiteral("before")));
    if (value.isNull())
        QMetaObject::invokeMethod(mEnv.get(), "unset", Q_ARG(QString, name));
    else
        QMetaObject::invokeMethod(mEnv.get(), "setValue", Q_ARG(QString, name),
                                  Q_ARG(QString, value));

    QProcess child;
    child.start(
            QStringLiteral("/bin/sh"),
            {QStringLiteral("-c"),
             QStringLiteral("if [ \"${VARNAH_CHILD+x}\" ]; then printf 'set:%s' \"$VARNAH_CHILD\"; "
                            "else printf unset; fi")});
    QVERIFY(child.waitForFinished());
    QCOMPARE(child.readAllStandardOutput(), seen);
}

QTEST_GUILESS_MAIN(tst_Varnah)

#include "tst_varnah.moc"
