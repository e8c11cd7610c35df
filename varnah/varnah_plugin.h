#ifndef VARNAH_PLUGIN_H
#define VARNAH_PLUGIN_H

#include <QQmlExtensionPlugin>

class VarnahPlugin : public QQmlExtensionPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QQmlExtensionInterface_iid)

public:
    void registerTypes(const char *uri) override;
};

#endif
