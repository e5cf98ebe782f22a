#pragma once

#include "DeZuvarEDodOziv8/DocumentFinder.h"

namespace xhook {

// The context that the component gives the finder plugins it creates: queries on the host
// database that the thread's settings name, through the component's own database layer, and the
// component's runtime errors. One for the process; it lives as long as the process.
DeZuvarEDodOziv8::FinderContext& componentFinderContext();

}  // namespace xhook
