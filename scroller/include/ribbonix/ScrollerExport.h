#pragma once

#include <QtCore/qglobal.h>

// Symbols of the Scroller library: exported while the library itself is built, imported by its users.
// Everything else in the library is hidden (the target builds with hidden visibility).
#if defined(RIBBONIX_SCROLLER_BUILDING)
#define RIBBONIX_SCROLLER_EXPORT Q_DECL_EXPORT
#else
#define RIBBONIX_SCROLLER_EXPORT Q_DECL_IMPORT
#endif
