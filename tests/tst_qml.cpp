#include "fixture.h"

#include <QQmlContext>
#include <QQmlEngine>
#include <QtQuickTest>

class Setup : public QObject
{
    Q_OBJECT

public slots:
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        engine->rootContext()->setContextProperty(QStringLiteral("fixture"), &mFixture);
    }

private:
    Fixture mFixture;
};

QUICK_TEST_MAIN_WITH_SETUP(modules, Setup)

#include "tst_qml.moc"
