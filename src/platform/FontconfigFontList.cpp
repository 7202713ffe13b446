#include "platform/FontconfigFontList.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>

namespace tavu {

std::vector<std::string> FontconfigFontList::families() const
{
    std::vector<std::string> out;
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config)
        return out;
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
    if (FcFontSet* fonts = pattern && objects ? FcFontList(config, pattern, objects) : nullptr) {
        for (int i = 0; i < fonts->nfont; ++i) {
            FcChar8* family = nullptr;
            if (FcPatternGetString(fonts->fonts[i], FC_FAMILY, 0, &family) == FcResultMatch && family)
                out.emplace_back(reinterpret_cast<const char*>(family));
        }
        FcFontSetDestroy(fonts);
    }
    if (objects)
        FcObjectSetDestroy(objects);
    if (pattern)
        FcPatternDestroy(pattern);
    FcConfigDestroy(config);
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

} // namespace tavu
