#pragma once

#include <QString>
#include <optional>

namespace xhook {

// The per-user component registry: an INI file that records, for each registered class, its
// class identifier, programmatic identifier, library path, threading model, type library and
// version. Hosts find the component by ProgID there, and the component finds the host's
// document finder by class identifier.
struct ClassRegistration {
    QString clsid;  // "{...}"
    QString progId;
    QString libraryPath;
    QString threadingModel = QStringLiteral("Apartment");
    QString libid;
    QString version;
};

// $XDG_CONFIG_HOME/ComponentRegistry.ini (default ~/.config); XHOOK_COMPONENT_REGISTRY overrides.
QString componentRegistryPath();

void registerClass(const ClassRegistration& registration);
// Removes exactly what registerClass wrote for that class.
void unregisterClass(const ClassRegistration& registration);
std::optional<ClassRegistration> findClassByClsid(const QString& clsid);
std::optional<ClassRegistration> findClassByProgId(const QString& progId);

}  // namespace xhook
