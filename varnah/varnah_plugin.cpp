#include "varnah_plugin.h"

#include "varnah.h"

#include <QtQml>

void VarnahPlugin::registerTypes(const char *uri)
{
    qmlRegisterType<Varnah>(uri, 1, 0, "Varnah");
}
