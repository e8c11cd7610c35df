#ifndef DORVIK_PLUGIN_H
#define DORVIK_PLUGIN_H

#include <QQmlExtensionPlugin>

class DorvikPlugin : public QQmlExtensionPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QQmlExtensionInterface_iid)

public:
    void registerTypes(const char *uri) override;
};

#endif
