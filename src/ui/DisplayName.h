#pragma once

#include <QString>

#include <string>

namespace tavu {

// A file name or path as the windows show it. Names are bytes on Linux; valid UTF-8 shows as it
// is, and each byte that is not part of valid UTF-8 shows as its Windows-1252 character, the code
// page old music collections were named in ("Caf\xE9.mp3" shows as "Café.mp3"). The name itself
// is never changed: only this text for the eyes is.
QString displayName(const std::string& bytes);

} // namespace tavu
