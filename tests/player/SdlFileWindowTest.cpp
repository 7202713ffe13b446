// Handing a tagged MP3 to the decoder without its ID3v2 tags.

#include "platform/SdlFileWindow.h"
#include "player/Id3v2Prefix.h"
#include "support/Mp3Writer.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tavu::test {
namespace {

std::string header(unsigned char version, unsigned char flags, std::uint32_t size)
{
    std::string h = "ID3";
    h += static_cast<char>(version);
    h += '\0';
    h += static_cast<char>(flags);
    for (int shift = 21; shift >= 0; shift -= 7)
        h += static_cast<char>((size >> shift) & 0x7F);
    return h;
}

std::uint64_t prefixOf(const std::string& bytes)
{
    std::istringstream in(bytes);
    return id3v2PrefixSize(in, bytes.size());
}

TEST(Id3v2Prefix, MeasuresTheTagsAtTheStart)
{
    const std::string frames = Mp3Writer().silence(2).bytes();
    struct Case {
        const char* what;
        std::string bytes;
        std::uint64_t expected;
    };
    const Case cases[] = {
        {"no tag", frames, 0},
        {"one tag", header(3, 0, 100) + std::string(100, 'x') + frames, 110},
        {"tag of the writer", Mp3Writer().id3v2(5000).silence(2).bytes(), Mp3Writer().id3v2(5000).bytes().size()},
        {"two tags in a row", header(4, 0, 20) + std::string(20, '\0') + header(3, 0, 5) + "abcde" + frames, 45},
        {"v2.4 footer", header(4, 0x10, 30) + std::string(40, '\0') + frames, 50},
        {"size with a high bit is no tag", header(3, 0, 0).replace(9, 1, "\x80") + frames, 0},
        {"version 0xFF is no tag", header(0xFF, 0, 10) + frames, 0},
        {"tag longer than the file", header(3, 0, 1u << 27), 10},
        {"header cut short", std::string("ID3\3\0", 5), 0},
        {"the word ID3 later on", frames + header(3, 0, 10), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(prefixOf(c.bytes), c.expected);
    }
}

TEST(SdlFileWindow, ShowsTheFileFromTheGivenByteOn)
{
    TestDir dir;
    writeBytes(dir.file("f"), "0123456789");
    SDL_RWops* rw = openFileWindow(dir.file("f"), 4);
    ASSERT_NE(rw, nullptr);
    EXPECT_EQ(SDL_RWsize(rw), 6);
    char buffer[16] = {};
    EXPECT_EQ(SDL_RWread(rw, buffer, 1, sizeof buffer), 6u);
    EXPECT_EQ(std::string(buffer, 6), "456789");
    EXPECT_EQ(SDL_RWseek(rw, -2, RW_SEEK_END), 4);
    EXPECT_EQ(SDL_RWread(rw, buffer, 1, 1), 1u);
    EXPECT_EQ(buffer[0], '8');
    EXPECT_EQ(SDL_RWseek(rw, -3, RW_SEEK_CUR), 2);
    EXPECT_EQ(SDL_RWtell(rw), 2);
    EXPECT_LT(SDL_RWseek(rw, -1, RW_SEEK_SET), 0) << "nothing before the start";
    EXPECT_EQ(SDL_RWwrite(rw, "x", 1, 1), 0u);
    EXPECT_EQ(SDL_RWclose(rw), 0);

    rw = openFileWindow(dir.file("f"), 50);
    ASSERT_NE(rw, nullptr);
    EXPECT_EQ(SDL_RWsize(rw), 0);
    EXPECT_EQ(SDL_RWread(rw, buffer, 1, 1), 0u);
    SDL_RWclose(rw);

    EXPECT_EQ(openFileWindow(dir.file("missing"), 0), nullptr);
}

} // namespace
} // namespace tavu::test
