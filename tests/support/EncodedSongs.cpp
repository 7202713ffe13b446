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

// How each encoder is called: the command before the fields, the option of each field (title,
// artist, album, year, comment, genre; a "=" option takes NAME=value), and how input and output
// follow.
struct Encoder {
    Encoding encoding;
    const char* extension;
    const char* command;
    const char* options[6];
    bool outputFirst;
    bool ffmpeg = false; // "-i INPUT", the options, then the output
};

const Encoder kEncoders[] = {
    {Encoding::Mp3Cbr,
     "mp3",
     "lame --quiet -b 128 --id3v2-only",
     {"--tt", "--ta", "--tl", "--ty", "--tc", "--tg"},
     false},
    {Encoding::Mp3Vbr,
     "mp3",
     "lame --quiet -V 5 --id3v2-only",
     {"--tt", "--ta", "--tl", "--ty", "--tc", "--tg"},
     false},
    {Encoding::Flac,
     "flac",
     "flac --silent --force",
     {"-T TITLE=", "-T ARTIST=", "-T ALBUM=", "-T DATE=", "-T COMMENT=", "-T GENRE="},
     true},
    {Encoding::Vorbis, "ogg", "oggenc -Q", {"-t", "-a", "-l", "-d", "-c COMMENT=", "-G"}, true},
    {Encoding::Opus,
     "opus",
     "opusenc --quiet",
     {"--title", "--artist", "--album", "--date", "--comment COMMENT=", "--genre"},
     false},
    {Encoding::Aac,
     "m4a",
     "-c:a aac -b:a 128k",
     {"-metadata title=", "-metadata artist=", "-metadata album=", "-metadata date=", "-metadata comment=",
      "-metadata genre="},
     false,
     true},
    {Encoding::Alac,
     "m4a",
     "-c:a alac",
     {"-metadata title=", "-metadata artist=", "-metadata album=", "-metadata date=", "-metadata comment=",
      "-metadata genre="},
     false,
     true},
    {Encoding::WavPack,
     "wv",
     "-c:a wavpack",
     {"-metadata title=", "-metadata artist=", "-metadata album=", "-metadata date=", "-metadata comment=",
      "-metadata genre="},
     false,
     true},
};

const Encoder& encoderOf(Encoding encoding)
{
    for (const Encoder& e : kEncoders)
        if (e.encoding == encoding)
            return e;
    return kEncoders[0];
}

} // namespace

std::string extensionOf(Encoding encoding)
{
    return encoderOf(encoding).extension;
}

bool runTool(const std::string& command)
{
    return runQuietly(command);
}

std::string shellQuoted(const std::string& text)
{
    return quoted(text);
}

bool encodeWave(Encoding encoding, const std::string& wave, const std::string& path)
{
    const Encoder& encoder = encoderOf(encoding);
    std::string command;
    if (encoder.ffmpeg)
        command = "ffmpeg -nostdin -loglevel error -y -i " + quoted(wave) + " " + encoder.command + " " + quoted(path);
    else if (encoder.outputFirst)
        command = std::string(encoder.command) + " -o " + quoted(path) + " " + quoted(wave);
    else
        command = std::string(encoder.command) + " " + quoted(wave) + " " + quoted(path);
    std::error_code ec;
    return runQuietly(command) && std::filesystem::file_size(path, ec) > 0 && !ec;
}

bool encodeSong(Encoding encoding, const std::string& path, const SongTags& tags, double seconds)
{
    const std::string tone = toneFile(seconds);
    if (tone.empty())
        return false;
    const Encoder& encoder = encoderOf(encoding);
    std::string command = encoder.ffmpeg
                              ? "ffmpeg -nostdin -loglevel error -y -i " + quoted(tone) + " " + encoder.command
                              : std::string(encoder.command);
    const std::string* values[] = {&tags.title, &tags.artist, &tags.album, &tags.year, &tags.comment, &tags.genre};
    for (int i = 0; i < 6; ++i) {
        if (values[i]->empty())
            continue;
        const std::string option = encoder.options[i];
        const auto equals = option.find('=');
        if (equals == std::string::npos) {
            command += " " + option + " " + quoted(*values[i]);
        } else {
            const auto blank = option.find(' ');
            command += " " + option.substr(0, blank) + " " + quoted(option.substr(blank + 1) + *values[i]);
        }
    }
    if (encoder.ffmpeg)
        command += " " + quoted(path);
    else
        command +=
            encoder.outputFirst ? " -o " + quoted(path) + " " + quoted(tone) : " " + quoted(tone) + " " + quoted(path);
    std::error_code ec;
    return runQuietly(command) && std::filesystem::file_size(path, ec) > 0 && !ec;
}

} // namespace tavu::test
