#pragma once

#include "util/Platform.h"

namespace tavu {

// The font families installed on this machine, as fontconfig lists them; for a program without
// windows, where Qt's font database is not there. Sorted, each family once.
class FontconfigFontList : public FontList {
public:
    std::vector<std::string> families() const override;
};

} // namespace tavu
