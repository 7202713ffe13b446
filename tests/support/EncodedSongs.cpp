#include "support/EncodedSongs.h"

#include "support/TestDir.h"

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <vector>

namespace tavu::test {
namespace {

std::string quoted(const std::string& text)
{
    std::string out = "'";
    for (const char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

bool runQuietly(const std::string& command)
{
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// A stereo 44.1 kHz tone of this length as a WAV file, made once.
std::string toneFile(double seconds)
{
    static const auto dir = std::make_unique<TestDir>();
    static std::map<double, std::string> made;
    if (const auto found = made.find(seconds); found != made.end())
        return found->second;
    const std::string path = dir->file("tone-" + std::to_string(made.size()) + ".wav");
    if (!runQuietly("sox -n -r 44100 -c 2 -b 16 " + quoted(path) + " synth " + std::to_string(seconds) +
                    " sine 440 vol 0.3"))
        return {};
    return made[seconds] = path;
}

// Options of one field for an encoder, when the field is given.
void add(std::string& command, const std::string& option, const std::string& value)
{
    if (!value.empty())
        command += " " + option + " " + quoted(value);
}

} // namespace

std::string extensionOf(Encoding encoding)
{
    switch (encoding) {
    case Encoding::Mp3Cbr:
    case Encoding::Mp3Vbr:
        return "mp3";
    case Encoding::Flac:
        return "flac";
    case Encoding::Vorbis:
        return "ogg";
    case Encoding::Opus:
        return "opus";
    }
    return {};
}

bool encodeSong(Encoding encoding, const std::string& path, const SongTags& tags, double seconds)
{
    const std::string tone = toneFile(seconds);
    if (tone.empty())
        return false;
    std::string command;
    switch (encoding) {
    case Encoding::Mp3Cbr:
    case Encoding::Mp3Vbr:
        command = encoding == Encoding::Mp3Cbr ? "lame --quiet -b 128 --id3v2-only" : "lame --quiet -V 5 --id3v2-only";
        add(command, "--tt", tags.title);
        add(command, "--ta", tags.artist);
        add(command, "--tl", tags.album);
        add(command, "--ty", tags.year);
        add(command, "--tc", tags.comment);
        add(command, "--tg", tags.genre);
        command += " " + quoted(tone) + " " + quoted(path);
        break;
    case Encoding::Flac:
        command = "flac --silent --force";
        for (const auto& [name, value] : std::vector<std::pair<std::string, std::string>>{{"TITLE", tags.title},
                                                                                          {"ARTIST", tags.artist},
                                                                                          {"ALBUM", tags.album},
                                                                                          {"DATE", tags.year},
                                                                                          {"COMMENT", tags.comment},
                                                                                          {"GENRE", tags.genre}})
            if (!value.empty())
                command += " -T " + quoted(name + "=" + value);
        command += " -o " + quoted(path) + " " + quoted(tone);
        break;
    case Encoding::Vorbis:
        command = "oggenc -Q";
        add(command, "-t", tags.title);
        add(command, "-a", tags.artist);
        add(command, "-l", tags.album);
        add(command, "-d", tags.year);
        if (!tags.comment.empty())
            command += " -c " + quoted("COMMENT=" + tags.comment);
        add(command, "-G", tags.genre);
        command += " -o " + quoted(path) + " " + quoted(tone);
        break;
    case Encoding::Opus:
        command = "opusenc --quiet";
        add(command, "--title", tags.title);
        add(command, "--artist", tags.artist);
        add(command, "--album", tags.album);
        add(command, "--date", tags.year);
        if (!tags.comment.empty())
            command += " --comment " + quoted("COMMENT=" + tags.comment);
        add(command, "--genre", tags.genre);
        command += " " + quoted(tone) + " " + quoted(path);
        break;
    }
    std::error_code ec;
    return runQuietly(command) && std::filesystem::file_size(path, ec) > 0 && !ec;
}

} // namespace tavu::test
