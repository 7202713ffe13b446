#include <ribbonix/ControlFactory.h>

#include <ribbonix/Scroller.h>

#include <QString>

namespace Ribbonix {

QWidget* createControl(const QString& progId, QWidget* parent)
{
    if (progId.compare(ScrollerProgId, Qt::CaseInsensitive) == 0)
        return createScroller(parent);
    return nullptr;
}

Scroller* createScroller(QWidget* parent)
{
    return new Scroller(parent);
}

} // namespace Ribbonix
