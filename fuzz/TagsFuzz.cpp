// The reader of every kind of tag (TagLib behind it) on arbitrary files. The first byte of the input
// picks the file's name: .mp3, .flac, .ogg, .opus or .wav; the rest is the file.
//
// Invariants: every field is valid UTF-8 without NUL bytes or surrounding blanks and at most 1024
// characters long; reading the same file twice gives the same tag.
#include "FuzzSupport.h"

#include "platform/TagLibReader.h"
#include "util/Utf8.h"

namespace {

void checkField(const std::string& field)
{
    FUZZ_CHECK(tavu::isValidUtf8(field));
    FUZZ_CHECK(field.find('\0') == std::string::npos);
    FUZZ_CHECK(field.empty() || (field.front() != ' ' && field.back() != ' '));
    FUZZ_CHECK(tavu::utf8Length(field) <= 1024);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tavu;
    if (size == 0)
        return 0;
    static const char* const kNames[] = {"song.mp3", "song.flac", "song.ogg", "song.opus", "song.wav"};
    const std::string path = fuzz::scratchDir() + "/" + kNames[data[0] % 5];
    fuzz::writeFile(path, fuzz::asText(data + 1, size - 1));
    const TagLibReader reader;
    const Id3Tag tag = reader.read(path);
    for (const std::string* field : {&tag.title, &tag.artist, &tag.album, &tag.year, &tag.comment, &tag.genre})
        checkField(*field);
    FUZZ_CHECK(reader.read(path) == tag);
    return 0;
}
