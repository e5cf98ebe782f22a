#pragma once

#include <QString>

namespace xhook::host {

// The stand-alone host's document finder, the plugin module libxhookfinder.so, as the component
// finds it: registered in the per-user component registry under the finder's class identifier.

// The plugin of this build: the file that XHOOK_FINDER_PLUGIN names when it is set; otherwise
// libxhookfinder.so next to the running program (the host's tools are built beside it) or in the
// build's host folder seen from a sibling folder (the tests). Empty when none of these exists.
QString demoFinderPluginPath();

// Registers the plugin at `pluginPath` (made absolute) as the document finder class; a
// registration already there is replaced.
void registerDemoFinder(const QString& pluginPath);
// Removes the finder's registration.
void unregisterDemoFinder();

}  // namespace xhook::host
