#ifndef QMLTEST_H
#define QMLTEST_H

#include <QByteArray>
#include <QObject>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QString>

#include <memory>

// The import tree under test: the build's, unless TEST_IMPORT_DIR names another.
inline QString testImportDir()
{
    const QByteArray dir = qgetenv("TEST_IMPORT_DIR");
    return dir.isEmpty() ? QStringLiteral(QML_IMPORT_DIR) : QString::fromLocal8Bit(dir);
}

inline void addTestImportDir(QQmlEngine &engine)
{
    engine.addImportPath(testImportDir());
}

// Creates the object that `qml` declares; null (with the errors printed) when it fails.
inline std::unique_ptr<QObject> createQmlObject(QQmlEngine &engine, const QByteArray &qml)
{
    QQmlComponent component(&engine);
    component.setData(qml, QUrl());
    std::unique_ptr<QObject> object(component.create());
    if (!object)
        qWarning("%s", qPrintable(component.errorString()));
    return object;
}

#endif
