#pragma once

#include <cstdint>
#include <istream>

namespace tavu {

// The bytes that ID3v2 tags take at the start of an MP3 stream (one tag or several in a row), 0 when
// it starts with none. A tag that claims more than the stream holds ends at the end of the stream.
// Reads from the stream's current position; `streamSize` counts from there.
std::uint64_t id3v2PrefixSize(std::istream& in, std::uint64_t streamSize);

} // namespace tavu
