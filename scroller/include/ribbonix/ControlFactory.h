#pragma once

#include <ribbonix/ScrollerExport.h>

#include <QLatin1StringView>

class QString;
class QWidget;

// The library hands out its controls by programmatic identifier. Linux has no component registry: there is
// nothing to register or unregister and no class factory to look up. A host links the library and asks
// createControl for a control by its identifier.
namespace Ribbonix {

class Scroller;

inline constexpr QLatin1StringView ScrollerProgId{"Ribbonix.Scroller"};

// A new control for progId (compared without regard to letter case) as a child of parent, or nullptr for an
// identifier this library does not know. The caller, or the parent, owns it.
RIBBONIX_SCROLLER_EXPORT QWidget* createControl(const QString& progId, QWidget* parent = nullptr);

// A new Scroller as a child of parent; the caller, or the parent, owns it.
RIBBONIX_SCROLLER_EXPORT Scroller* createScroller(QWidget* parent = nullptr);

} // namespace Ribbonix
