// The ID3v1 reader on arbitrary file tails.
//
// Invariants: every field is valid UTF-8 without NUL bytes or surrounding blanks; a file without
// the marker gives empty fields; the tag depends only on the file's last 128 bytes.
#include "FuzzSupport.h"

#include "id3/Id3Tag.h"
#include "util/Utf8.h"

namespace {

void checkField(const std::string& field)
{
    FUZZ_CHECK(tavu::isValidUtf8(field));
    FUZZ_CHECK(field.find('\0') == std::string::npos);
    FUZZ_CHECK(field.empty() || (field.front() != ' ' && field.back() != ' '));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tavu;
    const std::string_view bytes = fuzz::asText(data, size);
    const std::string path = fuzz::scratchDir() + "/song.mp3";
    fuzz::writeFile(path, bytes);
    const Id3Tag tag = readSongTag(path);
    for (const std::string* field : {&tag.title, &tag.artist, &tag.album, &tag.year, &tag.comment, &tag.genre})
        checkField(*field);
    if (size < 128 || bytes.substr(size - 128, 3) != "TAG") {
        FUZZ_CHECK(tag == Id3Tag{});
        return 0;
    }
    fuzz::writeFile(path, bytes.substr(size - 128));
    FUZZ_CHECK(readSongTag(path) == tag);
    return 0;
}
