#pragma once

#include <QString>

namespace xhook {

struct SharedState;

// Reads the host's per-user settings (application "DuVariz2007") into the record's settings
// fields, key by key in a fixed order, storing each value at once. An absent key gives its
// default; a value that does not convert raises RuntimeError (type mismatch, or overflow for a
// 16-bit field) and stops the reading there, so the fields read before keep their new values and
// the later ones their old ones. Conversions are those of foundation/Conversions.h. The component
// never writes the store.
void readUserSettings(SharedState& state);

// The settings store's file.
QString userSettingsPath();

}  // namespace xhook
