#pragma once

namespace xhook::host {

// Registers the stand-alone host database's stored procedures (sp_GS_billGJ) as native
// procedures of the SQLite backend. Calling it again changes nothing.
void registerDemoProcedures();

}  // namespace xhook::host
