#pragma once

#include <string>

namespace tavu {

// The length of a song file in seconds, as its headers tell it (TagLib's reading of the stream);
// 0 for a file that is not a plain file, cannot be read or does not say.
double songLengthSeconds(const std::string& path);

} // namespace tavu
