#include "player/LibraryOptions.h"

#include "settings/Settings.h"
#include "util/Text.h"

#include <algorithm>

namespace tavu {

namespace {

// The file extensions a word of "Formats" stands for: ALAC comes in .m4a files, AAC in .m4a files
// or bare (.aac); every other word is an extension.
bool formatHasExtension(std::string_view format, std::string_view extension)
{
    if (format == "alac")
        return equalsNoCase(extension, "m4a");
    if (format == "aac")
        return equalsNoCase(extension, "aac") || equalsNoCase(extension, "m4a");
    return equalsNoCase(extension, format);
}

// Whether the extension of a file name is one of these formats'.
bool hasFormat(std::string_view name, const std::vector<std::string>& formats)
{
    const auto dot = name.rfind('.');
    if (dot == std::string_view::npos || formats.empty())
        return false;
    const std::string_view extension = name.substr(dot + 1);
    return std::any_of(formats.begin(), formats.end(),
                       [&](const std::string& format) { return formatHasExtension(format, extension); });
}

} // namespace

const std::vector<std::string_view>& playableFormats()
{
    // What the player's decoder reads (the file's content decides, the name only lists it).
    static const std::vector<std::string_view> formats{"mp3", "flac", "ogg",  "oga", "opus", "wav",
                                                       "m4a", "aac",  "alac", "wv",  "ape"};
    return formats;
}

const std::vector<FormatChoice>& formatChoices()
{
    static const std::vector<FormatChoice> choices{{"flac", "FLAC"}, {"ogg", "Ogg Vorbis"}, {"opus", "Opus"},
                                                   {"m4a", "M4A"},   {"wv", "WavPack"},     {"ape", "APE"}};
    return choices;
}

std::vector<std::string> parseFormats(std::string_view text)
{
    std::vector<std::string> formats;
    std::size_t at = 0;
    while (at < text.size()) {
        const auto start = text.find_first_not_of(" \t,", at);
        if (start == std::string_view::npos)
            break;
        auto end = text.find_first_of(" \t,", start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string word = toLower(text.substr(start, end - start));
        if (!word.empty() && word.front() == '.')
            word.erase(0, 1);
        const auto& playable = playableFormats();
        if (std::find(playable.begin(), playable.end(), word) != playable.end() &&
            std::find(formats.begin(), formats.end(), word) == formats.end())
            formats.push_back(std::move(word));
        at = end;
    }
    return formats;
}

std::string formatsText(const std::vector<std::string>& formats)
{
    std::string text;
    for (const std::string& format : formats)
        text += (text.empty() ? "" : " ") + format;
    return text;
}

LibraryOptions readLibraryOptions(const Settings& settings)
{
    LibraryOptions options;
    options.subfolders = leadingNumber(settings.read(keys::LibrarySubfolders)) != 0;
    options.formats = parseFormats(settings.read(keys::LibraryFormats));
    options.tagTitles = equalsNoCase(trimmed(settings.read(keys::LibraryTitles)), "tags");
    return options;
}

void writeLibraryOptions(const Settings& settings, const LibraryOptions& options)
{
    const LibraryOptions stored = readLibraryOptions(settings);
    if (stored.subfolders != options.subfolders)
        settings.write(keys::LibrarySubfolders, options.subfolders ? "1" : "0");
    if (stored.formats != options.formats)
        settings.write(keys::LibraryFormats, formatsText(options.formats));
    if (stored.tagTitles != options.tagTitles)
        settings.write(keys::LibraryTitles, options.tagTitles ? "tags" : "files");
}

bool isSong(std::string_view name, const LibraryOptions& options)
{
    return name.find(".mp3") != std::string_view::npos || hasFormat(name, options.formats);
}

std::string fileTitle(std::string_view song, const LibraryOptions& options)
{
    std::string title(song);
    if (hasFormat(title, options.formats))
        title.erase(title.rfind('.'));
    replaceText(title, ".mp3", "");
    return title;
}

} // namespace tavu
