#include "support/Mp3Writer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>

namespace tavu::test {
namespace {

// MPEG-1 Layer III, no CRC; 128 kbit/s, 44100 Hz, no padding; joint stereo with M/S on.
constexpr unsigned char kHeader[4] = {0xFF, 0xFB, 0x90, 0x64};
constexpr std::size_t kSideInfoBytes = 32; // two channels

// Writes bits into bytes, most significant bit first.
class BitWriter {
public:
    explicit BitWriter(std::string& out) : m_out(out) {}
    void put(unsigned value, int bits)
    {
        for (int i = bits - 1; i >= 0; --i) {
            if (m_used == 0)
                m_out.push_back('\0');
            if ((value >> i) & 1u)
                m_out.back() = static_cast<char>(static_cast<unsigned char>(m_out.back()) | (0x80u >> m_used));
            m_used = (m_used + 1) % 8;
        }
    }

private:
    std::string& m_out;
    int m_used = 0;
};

// One granule of one channel in the side information: long blocks, no scale factors, all three
// big-value regions coded with Huffman table 1.
void putGranule(BitWriter& bits, unsigned part23Length, unsigned bigValues, unsigned globalGain)
{
    const unsigned table = bigValues ? 1 : 0;
    bits.put(part23Length, 12);
    bits.put(bigValues, 9);
    bits.put(globalGain, 8);
    bits.put(0, 4); // scalefac_compress: no scale factor bits
    bits.put(0, 1); // window_switching_flag: long blocks
    for (int region = 0; region < 3; ++region)
        bits.put(table, 5);
    bits.put(0, 4); // region0_count
    bits.put(0, 3); // region1_count
    bits.put(0, 1); // preflag
    bits.put(0, 1); // scalefac_scale
    bits.put(0, 1); // count1table_select
}

// One frame whose mid channel holds, in each granule, the Huffman bits of `bigValues` pairs of
// spectral values (table 1: values 0 and 1, "0"/"1" characters); the side channel is empty, so both
// output channels are the same.
std::string midFrame(const std::string (&granules)[2], unsigned bigValues, unsigned globalGain)
{
    std::string frame(reinterpret_cast<const char*>(kHeader), sizeof kHeader);
    BitWriter side(frame);
    side.put(0, 9); // main_data_begin: no bit reservoir
    side.put(0, 3); // private bits
    side.put(0, 8); // scfsi of both channels
    for (const std::string& bits : granules) {
        putGranule(side, static_cast<unsigned>(bits.size()), bigValues, globalGain);
        putGranule(side, 0, 0, 0);
    }
    BitWriter main(frame);
    for (const std::string& bits : granules)
        for (char bit : bits)
            main.put(bit == '1', 1);
    frame.resize(Mp3Writer::kFrameBytes, '\0');
    return frame;
}

// The tone: spectral line 11 of 576 (about 440 Hz) at value 1, all others 0, in every granule; the
// decoder turns that into a clean sine. Five (0,0) pairs coded "1", then the pair (0,1) coded "001"
// with a plus sign "0".
std::string toneFrame()
{
    constexpr unsigned kGain = 206; // peaks at about 11700 of 32767
    const std::string granule = "111110010";
    return midFrame({granule, granule}, 6, kGain);
}

// Every one of the 576 spectral lines at a random -1, 0 or +1: a wideband noise that makes the
// decoder do all the work real music does.
std::string noiseFrame(std::uint32_t& random)
{
    constexpr unsigned kGain = 184;
    std::string granules[2];
    for (std::string& bits : granules) {
        for (int pair = 0; pair < 288; ++pair) {
            random = random * 1664525u + 1013904223u;
            const bool x = random & (1u << 28), y = random & (1u << 29);
            bits += !x && !y ? "1" : !x ? "001" : !y ? "01" : "000";
            if (x)
                bits += (random & (1u << 30)) ? '1' : '0';
            if (y)
                bits += (random & (1u << 31)) ? '1' : '0';
        }
    }
    return midFrame(granules, 288, kGain);
}

void putField(std::string& out, const std::string& text, std::size_t size)
{
    std::string field = text.substr(0, size);
    field.resize(size, '\0');
    out += field;
}

void putBigEndian(std::string& out, std::uint32_t value, int bits7or8)
{
    const int shift = bits7or8;
    const std::uint32_t mask = (1u << shift) - 1;
    for (int i = 3; i >= 0; --i)
        out.push_back(static_cast<char>((value >> (shift * i)) & mask));
}

} // namespace

int Mp3Writer::framesFor(double seconds)
{
    return std::max(2, static_cast<int>(std::lround(seconds / kFrameSeconds)));
}

Mp3Writer& Mp3Writer::id3v2(std::size_t bytes)
{
    std::string picture("\0image/jpeg\0\3\0", 14);
    std::uint32_t noise = 12345;
    while (picture.size() + 20 < bytes) {
        if (picture.size() % 997 == 0) // false frame headers for a decoder that does not skip the tag
            picture.append(reinterpret_cast<const char*>(kHeader), sizeof kHeader);
        noise = noise * 1664525u + 1013904223u;
        picture.push_back(static_cast<char>(noise >> 24));
    }
    std::string frame = "APIC";
    putBigEndian(frame, static_cast<std::uint32_t>(picture.size()), 8);
    frame.append(2, '\0');
    frame += picture;

    m_bytes += std::string("ID3\3\0\0", 6);
    putBigEndian(m_bytes, static_cast<std::uint32_t>(frame.size()), 7); // sync-safe size
    m_bytes += frame;
    return *this;
}

Mp3Writer& Mp3Writer::silence(int frames)
{
    std::string frame(reinterpret_cast<const char*>(kHeader), sizeof kHeader);
    frame.resize(kFrameBytes, '\0'); // side information of zeros: no bits, no sound
    static_assert(sizeof kHeader + kSideInfoBytes < kFrameBytes);
    for (int i = 0; i < frames; ++i)
        m_bytes += frame;
    return *this;
}

Mp3Writer& Mp3Writer::tone(int frames)
{
    const std::string frame = toneFrame();
    for (int i = 0; i < frames; ++i)
        m_bytes += frame;
    return *this;
}

Mp3Writer& Mp3Writer::noise(int frames)
{
    std::uint32_t random = 2024;
    for (int i = 0; i < frames; ++i)
        m_bytes += noiseFrame(random);
    return *this;
}

Mp3Writer& Mp3Writer::id3v1(const Id3v1Fields& tag)
{
    m_bytes += "TAG";
    putField(m_bytes, tag.title, 30);
    putField(m_bytes, tag.artist, 30);
    putField(m_bytes, tag.album, 30);
    putField(m_bytes, tag.year, 4);
    putField(m_bytes, tag.comment, 30);
    m_bytes.push_back(static_cast<char>(tag.genre));
    return *this;
}

bool Mp3Writer::write(const std::string& path) const
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(m_bytes.data(), static_cast<std::streamsize>(m_bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

} // namespace tavu::test
