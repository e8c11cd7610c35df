#include "quorvel_plugin.h"

#include "quorvel.h"

#include <QtQml>

void QuorvelPlugin::registerTypes(const char *uri)
{
    qmlRegisterType<Quorvel>(uri, 1, 0, "Quorvel");
}
