#pragma once

#if defined(XHOOK_BUILDING_LIBRARY)
#define XHOOK_EXPORT __attribute__((visibility("default")))
#else
#define XHOOK_EXPORT
#endif
