#pragma once

#include <string>

namespace tavu::test {

// Songs made at test time by the real encoders: sox makes a tone, and lame (CBR or VBR, ID3v2
// tags), flac, oggenc and opusenc (Vorbis comments), and ffmpeg (AAC and ALAC in M4A, WavPack)
// encode and tag it.
enum class Encoding { Mp3Cbr, Mp3Vbr, Flac, Vorbis, Opus, Aac, Alac, WavPack };

struct SongTags {
    std::string title, artist, album, year, comment, genre;
};

// The file extension of an encoding: "mp3", "flac", "ogg", "opus", "m4a", "wv".
std::string extensionOf(Encoding encoding);

// Writes `seconds` of a 440 Hz tone to path, tagged with the fields given. False when an encoder is
// missing or fails. The tone is made once per length and process.
bool encodeSong(Encoding encoding, const std::string& path, const SongTags& tags = {}, double seconds = 1.0);

// Encodes a WAV file (44.1 kHz stereo) as it is, untagged. False when the encoder fails.
bool encodeWave(Encoding encoding, const std::string& wave, const std::string& path);

// Runs a shell command quietly; true when it succeeded.
bool runTool(const std::string& command);
// The text quoted for the shell.
std::string shellQuoted(const std::string& text);

} // namespace tavu::test
