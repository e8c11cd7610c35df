#ifndef FUZZHOST_H
#define FUZZHOST_H

#include "qmltest.h"

#include <QCoreApplication>

#include <cstdlib>

// The application, engine and object that every input of a fuzz target goes through.
struct FuzzHost
{
    explicit FuzzHost(const QByteArray &qml)
    {
        engine.reset(new QQmlEngine);
        addTestImportDir(*engine);
        object = createQmlObject(*engine, qml);
        if (!object)
            std::abort();
    }

    int argc = 1;
    char name[8] = "fuzzing";
    char *argv[2] = {name, nullptr};
    QCoreApplication app{argc, argv};
    std::unique_ptr<QQmlEngine> engine;
    std::unique_ptr<QObject> object;
};

#endif
