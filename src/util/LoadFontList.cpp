#include "util/LoadFontList.h"

#include "util/ListBox.h"
#include "util/Platform.h"

namespace tavu {

void LoadFontList(ListBox& list, const FontList& fonts)
{
    for (std::string& name : fonts.families())
        list.addItem(std::move(name));
}

} // namespace tavu
