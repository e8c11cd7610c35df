// What the engine sees of each module's plugin library: its metadata, its entry points,
// its exported symbols, the registration of its type and the shape of that type.
// A new module is one more row in modules().

#include "qmltest.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QMetaMethod>
#include <QPluginLoader>
#include <QPointer>
#include <QProcess>
#include <QQmlExtensionPlugin>
#include <QtTest>

namespace {

struct ModuleShape
{
    QString uri;
    QString pluginClass;
    QString typeName;
    QStringList methods; // "<kind> <return type> <signature> <parameter names>", in index order
    QStringList properties; // "<type> <name> notify <signal>"
    QStringList children; // classes of the objects that a new instance owns
};

const QList<ModuleShape> &modules()
{
    static const QList<ModuleShape> shapes = {
            {QStringLiteral("Quorvel"),
             QStringLiteral("QuorvelPlugin"),
             QStringLiteral("Quorvel"),
             {QStringLiteral("signal void sourceChanged(QString) source"),
              QStringLiteral("signal void error(QString) msg"),
              QStringLiteral("slot void setSource(QString) source"),
              QStringLiteral("method QString read()"),
              QStringLiteral("method bool write(QString) data")},
             {QStringLiteral("QString source notify sourceChanged")},
             {}},
            {QStringLiteral("Varnah"),
             QStringLiteral("VarnahPlugin"),
             QStringLiteral("Varnah"),
             {QStringLiteral("method QString value(QString) name"),
              QStringLiteral("method void setValue(QString,QString) name value"),
              QStringLiteral("method void unset(QString) name")},
             {},
             {}},
            {QStringLiteral("Dorvik"),
             QStringLiteral("DorvikPlugin"),
             QStringLiteral("Launcher"),
             {QStringLiteral("method QString launch(QString) program")},
             {},
             {QStringLiteral("QProcess")}},
    };
    return shapes;
}

void addModuleRows()
{
    QTest::addColumn<int>("module");
    for (int i = 0; i < modules().size(); ++i)
        QTest::newRow(qPrintable(modules().at(i).uri)) << i;
}

// The library that the module's qmldir names.
QString libraryPath(const QString &uri)
{
    const QString moduleDir = testImportDir() + QLatin1Char('/') + uri;
    QFile qmldir(moduleDir + QStringLiteral("/qmldir"));
    if (!qmldir.open(QIODevice::ReadOnly))
        return QString();
    while (!qmldir.atEnd()) {
        const QList<QByteArray> words = qmldir.readLine().simplified().split(' ');
        if (words.size() == 2 && words.at(0) == "plugin")
            return moduleDir + QStringLiteral("/lib") + QString::fromUtf8(words.at(1))
                    + QStringLiteral(".so");
    }
    return QString();
}

QString describe(const QMetaMethod &method)
{
    static const char *const kinds[] = {"method", "signal", "slot", "constructor"};
    QStringList words = {QLatin1String(kinds[method.methodType()]),
                         QString::fromLatin1(method.typeName()),
                         QString::fromLatin1(method.methodSignature())};
    for (const QByteArray &name : method.parameterNames())
        words << QString::fromLatin1(name);
    return words.join(QLatin1Char(' '));
}

using InstanceFunction = QObject *(*)();

} // namespace

class tst_Shell : public QObject
{
    Q_OBJECT

private slots:
    void metadata_data() { addModuleRows(); }
    void metadata();
    void instanceIsKeptUntilDeleted_data() { addModuleRows(); }
    void instanceIsKeptUntilDeleted();
    void pluginClassAddsNoMembers_data() { addModuleRows(); }
    void pluginClassAddsNoMembers();
    void registersUnderTheUriGiven_data() { addModuleRows(); }
    void registersUnderTheUriGiven();
    void typeShape_data() { addModuleRows(); }
    void typeShape();
    void exportsOnlyEntryPoints_data() { addModuleRows(); }
    void exportsOnlyEntryPoints();
    void typeDescription_data() { addModuleRows(); }
    void typeDescription();
};

void tst_Shell::metadata()
{
    QFETCH(int, module);
    const ModuleShape &shape = modules().at(module);
    QPluginLoader loader(libraryPath(shape.uri));
    const QJsonObject metaData = loader.metaData();
    QCOMPARE(metaData.value(QStringLiteral("IID")).toString(),
             QStringLiteral(QQmlExtensionInterface_iid));
    QCOMPARE(metaData.value(QStringLiteral("className")).toString(), shape.pluginClass);
    QVERIFY(metaData.value(QStringLiteral("MetaData")).toObject().isEmpty());
}

void tst_Shell::instanceIsKeptUntilDeleted()
{
    QFETCH(int, module);
    const ModuleShape &shape = modules().at(module);
    QLibrary library(libraryPath(shape.uri));
    QVERIFY2(library.load(), qPrintable(library.errorString()));
    const auto instance = reinterpret_cast<InstanceFunction>(library.resolve("qt_plugin_instance"));
    QVERIFY(instance);

    QPointer<QObject> first = instance();
    QVERIFY(first);
    QCOMPARE(instance(), first.data());
    QCOMPARE(first->metaObject()->className(), shape.pluginClass);

    delete first.data();
    QVERIFY(first.isNull());
    QObject *fresh = instance();
    QVERIFY(fresh);
    QCOMPARE(fresh->metaObject()->className(), shape.pluginClass);
    QCOMPARE(instance(), fresh);
}

void tst_Shell::pluginClassAddsNoMembers()
{
    QFETCH(int, module);
    QPluginLoader loader(libraryPath(modules().at(module).uri));
    QObject *plugin = loader.instance();
    QVERIFY2(plugin, qPrintable(loader.errorString()));
    const QMetaObject *meta = plugin->metaObject();
    QCOMPARE(meta->superClass(), &QQmlExtensionPlugin::staticMetaObject);
    QCOMPARE(meta->methodCount(), meta->methodOffset());
    QCOMPARE(meta->propertyCount(), meta->propertyOffset());
    QCOMPARE(meta->classInfoCount(), meta->classInfoOffset());
    QVERIFY(qobject_cast<QQmlExtensionPlugin *>(plugin));
}

void tst_Shell::registersUnderTheUriGiven()
{
    QFETCH(int, module);
    const ModuleShape &shape = modules().at(module);
    QPluginLoader loader(libraryPath(shape.uri));
    auto *plugin = qobject_cast<QQmlExtensionPlugin *>(loader.instance());
    QVERIFY(plugin);
    const QByteArray uri = "Shell.Test.Any" + shape.uri.toLatin1();
    plugin->registerTypes(uri.constData());

    QQmlEngine engine;
    const std::unique_ptr<QObject> object =
            createQmlObject(engine, "import " + uri + " 1.0\n" + shape.typeName.toLatin1() + " {}");
    QVERIFY(object);
    QCOMPARE(object->metaObject()->className(), shape.typeName);
}

void tst_Shell::typeShape()
{
    QFETCH(int, module);
    const ModuleShape &shape = modules().at(module);
    QQmlEngine engine;
    addTestImportDir(engine);
    const std::unique_ptr<QObject> object = createQmlObject(
            engine,
            "import " + shape.uri.toLatin1() + " 1.0\n" + shape.typeName.toLatin1() + " {}");
    QVERIFY(object);
    const QMetaObject *meta = object->metaObject();
    // The engine may wrap the type in a derived meta-object; walk up to the class itself.
    while (meta && QLatin1String(meta->className()) != shape.typeName)
        meta = meta->superClass();
    QVERIFY(meta);
    QCOMPARE(meta->superClass(), &QObject::staticMetaObject);

    QStringList methods;
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i)
        methods << describe(meta->method(i));
    QCOMPARE(methods, shape.methods);

    QStringList properties;
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        QVERIFY(property.isReadable() && property.isWritable() && property.isDesignable()
                && property.isScriptable() && property.isStored());
        QVERIFY(!property.isResettable() && !property.isConstant() && !property.isFinal());
        properties << QStringLiteral("%1 %2 notify %3")
                              .arg(QLatin1String(property.typeName()),
                                   QLatin1String(property.name()),
                                   QLatin1String(property.notifySignal().name()));
    }
    QCOMPARE(properties, shape.properties);

    QStringList children;
    for (const QObject *child : object->children())
        children << QLatin1String(child->metaObject()->className());
    QCOMPARE(children, shape.children);
}

void tst_Shell::exportsOnlyEntryPoints()
{
    QFETCH(int, module);
    QProcess nm;
    nm.start(QStringLiteral("nm"),
             {QStringLiteral("--dynamic"), QStringLiteral("--defined-only"),
              QStringLiteral("--format=posix"), libraryPath(modules().at(module).uri)});
    QVERIFY(nm.waitForFinished());
    QCOMPARE(nm.exitCode(), 0);
    QStringList symbols;
    for (const QByteArray &line : nm.readAllStandardOutput().split('\n')) {
        if (!line.isEmpty())
            symbols << QString::fromLatin1(line.split(' ').first());
    }
    symbols.sort();
    QCOMPARE(symbols,
             QStringList({QStringLiteral("qt_plugin_instance"),
                          QStringLiteral(PLUGIN_METADATA_SYMBOL)}));
}

// The plugins.qmltypes that the qmldir names describes the type with every member, and is
// made again whenever the library is.
void tst_Shell::typeDescription()
{
#ifdef SANITIZED_BUILD
    QSKIP("a sanitized build has no type descriptions: the dumper cannot load its libraries");
#endif
    QFETCH(int, module);
    const ModuleShape &shape = modules().at(module);
    const QString library = libraryPath(shape.uri);
    const QString path = QFileInfo(library).dir().filePath(QStringLiteral("plugins.qmltypes"));
    QFile qmldir(QFileInfo(library).dir().filePath(QStringLiteral("qmldir")));
    QVERIFY(qmldir.open(QIODevice::ReadOnly));
    QVERIFY(qmldir.readAll().contains("\ntypeinfo plugins.qmltypes\n"));
    QFile file(path);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
    const QString types = QString::fromUtf8(file.readAll());
    QVERIFY(QFileInfo(path).lastModified() >= QFileInfo(library).lastModified());

    QVERIFY(types.contains(QStringLiteral("name: \"%1\"").arg(shape.typeName)));
    QVERIFY(types.contains(
            QStringLiteral("exports: [\"%1/%2 1.0\"]").arg(shape.uri, shape.typeName)));
    for (const QString &method : shape.methods) {
        const QString name = method.section(QLatin1Char(' '), 2, 2).section(QLatin1Char('('), 0, 0);
        QVERIFY2(types.contains(QStringLiteral("name: \"%1\"").arg(name)), qPrintable(name));
        for (const QString &parameter :
             method.section(QLatin1Char(' '), 3).split(QLatin1Char(' '), Qt::SkipEmptyParts))
            QVERIFY2(types.contains(QStringLiteral("Parameter { name: \"%1\"").arg(parameter)),
                     qPrintable(parameter));
    }
    for (const QString &property : shape.properties) {
        const QString name = property.section(QLatin1Char(' '), 1, 1);
        QVERIFY2(types.contains(QStringLiteral("Property { name: \"%1\"").arg(name)),
                 qPrintable(name));
    }
}

QTEST_GUILESS_MAIN(tst_Shell)

#include "tst_shell.moc"
