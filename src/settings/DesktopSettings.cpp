#include "settings/DesktopSettings.h"

#include "util/Text.h"

#include <algorithm>
#include <charconv>

namespace tavu {
namespace {

std::optional<int> whole(std::string_view value)
{
    while (!value.empty() && value.front() == ' ')
        value.remove_prefix(1);
    while (!value.empty() && value.back() == ' ')
        value.remove_suffix(1);
    if (!value.empty() && value.front() == '+')
        value.remove_prefix(1);
    int n = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), n);
    if (value.empty() || error != std::errc() || end != value.data() + value.size())
        return std::nullopt;
    return n;
}

bool switchedOn(const Settings& settings, const SettingKey& key)
{
    return leadingNumber(settings.readOr(key)) != 0;
}

} // namespace

std::optional<WindowPlace> storedMainPlace(const Settings& settings)
{
    const auto left = whole(settings.read(keys::DesktopLeft));
    const auto top = whole(settings.read(keys::DesktopTop));
    if (!left || !top)
        return std::nullopt;
    return WindowPlace{*left, *top};
}

void storeMainPlace(const Settings& settings, WindowPlace place)
{
    settings.write(keys::DesktopLeft, decimal(place.left));
    settings.write(keys::DesktopTop, decimal(place.top));
}

bool windowsOnTop(const Settings& settings)
{
    return switchedOn(settings, keys::DesktopOnTop);
}

bool notifyOnSongStart(const Settings& settings)
{
    return switchedOn(settings, keys::DesktopNotify);
}

std::optional<PlaylistSize> storedPlaylistSize(const Settings& settings)
{
    const auto width = whole(settings.read(keys::DesktopPlaylistWidth));
    const auto height = whole(settings.read(keys::DesktopPlaylistHeight));
    if (!width || !height || *width <= 0 || *height <= 0)
        return std::nullopt;
    return PlaylistSize{*width, *height};
}

void storePlaylistSize(const Settings& settings, PlaylistSize size)
{
    settings.write(keys::DesktopPlaylistWidth, decimal(size.width));
    settings.write(keys::DesktopPlaylistHeight, decimal(size.height));
}

std::optional<OpenSideWindows> storedOpenWindows(const Settings& settings)
{
    const std::string words = settings.read(keys::DesktopOpenWindows);
    if (trimmed(words).empty())
        return std::nullopt;
    OpenSideWindows open;
    std::size_t at = 0;
    while (at < words.size()) {
        const std::size_t end = std::min(words.find(' ', at), words.size());
        const std::string_view word = std::string_view(words).substr(at, end - at);
        open.playlist |= equalsNoCase(word, "playlist");
        open.id3 |= equalsNoCase(word, "id3");
        open.sound |= equalsNoCase(word, "sound");
        at = end + 1;
    }
    return open;
}

void storeOpenWindows(const Settings& settings, OpenSideWindows open)
{
    std::string words;
    for (const auto& [shown, word] : {std::pair{open.playlist, "playlist"}, {open.id3, "id3"}, {open.sound, "sound"}})
        if (shown)
            words += words.empty() ? word : std::string(" ") + word;
    settings.write(keys::DesktopOpenWindows, words.empty() ? std::string("none") : words);
}

bool paddedClock(const Settings& settings)
{
    return equalsNoCase(settings.read(keys::DesktopClock), "m:ss");
}

bool playFirstSong(const Settings& settings)
{
    return switchedOn(settings, keys::DesktopPlayFirst);
}

bool resumeSession(const Settings& settings)
{
    return switchedOn(settings, keys::DesktopResume);
}

} // namespace tavu
