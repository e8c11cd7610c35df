#ifndef QUORVEL_PLUGIN_H
#define QUORVEL_PLUGIN_H

#include <QQmlExtensionPlugin>

class QuorvelPlugin : public QQmlExtensionPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QQmlExtensionInterface_iid)

public:
    void registerTypes(const char *uri) override;
};

#endif
