#include "foundation/ComponentRegistry.h"

#include <QDir>
#include <QLockFile>

#include "foundation/IniFile.h"

namespace xhook {

namespace {

// One section per class, named by its class identifier.
IniFile::Section toSection(const ClassRegistration& r) {
    return {r.clsid,
            {{"ProgID", r.progId},
             {"Path", r.libraryPath},
             {"ThreadingModel", r.threadingModel},
             {"LIBID", r.libid},
             {"Version", r.version}}};
}

ClassRegistration fromSection(const IniFile::Section& s) {
    return {s.name,           s.value("ProgID"), s.value("Path"), s.value("ThreadingModel"),
            s.value("LIBID"), s.value("Version")};
}

// Registrations from several processes do not overwrite each other's changes.
template <typename Change>
void changeRegistry(Change change) {
    const QString path = componentRegistryPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QLockFile lock(path + ".lock");
    lock.lock();
    IniFile ini = IniFile::load(path);
    if (change(ini)) ini.save(path);
}

}  // namespace

QString componentRegistryPath() {
    const QString overridden = qEnvironmentVariable("XHOOK_COMPONENT_REGISTRY");
    if (!overridden.isEmpty()) return overridden;
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty()) config = QDir::homePath() + "/.config";
    return config + "/ComponentRegistry.ini";
}

void registerClass(const ClassRegistration& registration) {
    changeRegistry([&](IniFile& ini) {
        ini.setSection(toSection(registration));
        return true;
    });
}

void unregisterClass(const ClassRegistration& registration) {
    changeRegistry([&](IniFile& ini) { return ini.removeSection(registration.clsid); });
}

std::optional<ClassRegistration> findClassByClsid(const QString& clsid) {
    const IniFile ini = IniFile::load(componentRegistryPath());
    if (const IniFile::Section* s = ini.section(clsid)) return fromSection(*s);
    return std::nullopt;
}

std::optional<ClassRegistration> findClassByProgId(const QString& progId) {
    const IniFile ini = IniFile::load(componentRegistryPath());
    for (const IniFile::Section& s : ini.sections())
        if (s.value("ProgID").compare(progId, Qt::CaseInsensitive) == 0) return fromSection(s);
    return std::nullopt;
}

}  // namespace xhook
