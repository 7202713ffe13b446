#include "platform/SongLength.h"

#include <taglib/audioproperties.h>
#include <taglib/fileref.h>

#include <filesystem>

namespace tavu {

double songLengthSeconds(const std::string& path)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return 0;
    const TagLib::FileRef file(path.c_str(), true, TagLib::AudioProperties::Average);
    if (file.isNull() || !file.audioProperties())
        return 0;
    return file.audioProperties()->lengthInMilliseconds() / 1000.0;
}

} // namespace tavu
