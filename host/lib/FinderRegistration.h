#pragma once

#include <QString>

namespace xhook::host {

// The stand-alone host's document finder, the plugin module libxhookfinder.so, as the component
// finds it: registered in the per-user component registry under the finder's class identifier.

// The plugin for the running program: the file that XHOOK_FINDER_PLUGIN names when it is set;
// otherwise the first that exists of libxhookfinder.so next to the program (the host's tools are
// built beside it), in the build's host folder seen from a sibling folder (the tests), and the
// installed plugin PREFIX/lib/DeZuvarEDodOziv8/libxhookfinder.so seen from PREFIX/bin (the folders
// are the installation's, e.g. /usr/lib/DeZuvarEDodOziv8/libxhookfinder.so from the Debian
// package). Empty when none of these exists.
QString demoFinderPluginPath();

// Registers the plugin at `pluginPath` (made absolute) as the document finder class; a
// registration already there is replaced.
void registerDemoFinder(const QString& pluginPath);
// Removes the finder's registration.
void unregisterDemoFinder();

}  // namespace xhook::host
