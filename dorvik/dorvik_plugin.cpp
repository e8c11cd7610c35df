#include "dorvik_plugin.h"

#include "launcher.h"

#include <QtQml>

void DorvikPlugin::registerTypes(const char *uri)
{
    qmlRegisterType<Launcher>(uri, 1, 0, "Launcher");
}
