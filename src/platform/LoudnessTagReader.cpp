#include "platform/LoudnessTagReader.h"

#include "util/Text.h"

#include <taglib/fileref.h>
#include <taglib/mp4file.h>
#include <taglib/tfilestream.h>
#include <taglib/tpropertymap.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavu {
namespace {

std::string value(const TagLib::PropertyMap& properties, const char* key)
{
    const auto found = properties.find(key);
    if (found == properties.end() || found->second.isEmpty())
        return {};
    return found->second.front().to8Bit(true);
}

// M4A files keep them in freeform atoms, in any letter case.
void readFreeformAtoms(TagLib::MP4::File& file, TagLib::PropertyMap& properties)
{
    const TagLib::MP4::Tag* tag = file.tag();
    if (!tag)
        return;
    constexpr std::string_view kPrefix = "----:com.apple.iTunes:";
    for (const auto& [name, item] : tag->itemMap()) {
        const std::string key = name.to8Bit(true);
        if (!key.starts_with(kPrefix) || item.toStringList().isEmpty())
            continue;
        const std::string field = toUpper(key.substr(kPrefix.size()));
        if (field.starts_with("REPLAYGAIN_"))
            properties.replace(field.c_str(), item.toStringList());
    }
}

} // namespace

LoudnessTags readLoudnessTags(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return {};
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return {};
    }
    LoudnessTags tags;
    {
        TagLib::FileStream stream(fd, true); // closes the descriptor with it
        if (!stream.isOpen()) {
            ::close(fd);
            return {};
        }
        TagLib::FileRef file(&stream, false);
        if (file.isNull() || !file.file())
            return {};
        TagLib::PropertyMap properties = file.file()->properties();
        if (auto* mp4 = dynamic_cast<TagLib::MP4::File*>(file.file()))
            readFreeformAtoms(*mp4, properties);
        tags.trackGain = parseGainDb(value(properties, "REPLAYGAIN_TRACK_GAIN"));
        tags.trackPeak = parsePeak(value(properties, "REPLAYGAIN_TRACK_PEAK"));
        tags.albumGain = parseGainDb(value(properties, "REPLAYGAIN_ALBUM_GAIN"));
        tags.albumPeak = parsePeak(value(properties, "REPLAYGAIN_ALBUM_PEAK"));
        if (!tags.trackGain)
            tags.trackGain = opusR128GainDb(value(properties, "R128_TRACK_GAIN"));
        if (!tags.albumGain)
            tags.albumGain = opusR128GainDb(value(properties, "R128_ALBUM_GAIN"));
        tags.album = value(properties, "ALBUM");
    }
    return tags;
}

} // namespace tavu
