#include "id3/TagLibReader.h"

#include "id3/GenreTable.h"
#include "util/Text.h"
#include "util/Utf8.h"

#include <taglib/apetag.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tbytevectorstream.h>
#include <taglib/textidentificationframe.h>
#include <taglib/xiphcomment.h>

#include <algorithm>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavu {

namespace {

// The bytes read at first: enough for the ID3v2 tag of nearly every MP3 file.
constexpr std::uint64_t kHeadBytes = 64 * 1024;
// The most of an ID3v2 tag read in one piece; its text frames come first in practice, the
// pictures after them.
constexpr std::uint64_t kMostTagBytes = 16 * 1024 * 1024;
// The most characters of one field.
constexpr std::size_t kFieldLength = 1024;

bool empty(const Id3Tag& tag)
{
    return tag == Id3Tag{};
}

std::string text(const TagLib::String& value)
{
    std::string out = value.to8Bit(true);
    const auto first = out.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    out = out.substr(first, out.find_last_not_of(' ') - first + 1);
    return utf8Length(out) > kFieldLength ? utf8Left(out, kFieldLength) : out;
}

Id3Tag fields(const TagLib::Tag& tag)
{
    Id3Tag out;
    out.title = text(tag.title());
    out.artist = text(tag.artist());
    out.album = text(tag.album());
    out.year = tag.year() ? decimal(tag.year()) : std::string();
    out.comment = text(tag.comment());
    out.genre = text(tag.genre());
    return out;
}

// An ID3v2 genre: each of its values, a number ("17" or "(17)") by the ID3v1 genre names.
std::string id3v2Genre(const TagLib::ID3v2::Tag& tag)
{
    const auto& frames = tag.frameListMap();
    const auto found = frames.find("TCON");
    if (found == frames.end() || found->second.isEmpty())
        return {};
    const auto* frame = dynamic_cast<const TagLib::ID3v2::TextIdentificationFrame*>(found->second.front());
    if (!frame)
        return text(found->second.front()->toString());
    std::string genre;
    for (const TagLib::String& value : frame->fieldList()) {
        std::string name = text(value);
        if (name.size() > 2 && name.front() == '(' && name.back() == ')')
            name = name.substr(1, name.size() - 2);
        if (!name.empty() && name.size() <= 3 && name.find_first_not_of("0123456789") == std::string::npos) {
            std::string numbered;
            getgenrefromID(std::stoi(name), numbered);
            name = numbered;
        }
        if (!name.empty())
            genre += (genre.empty() ? "" : " / ") + name;
    }
    return genre;
}

Id3Tag id3v2Fields(const TagLib::ID3v2::Tag* tag)
{
    if (!tag || tag->isEmpty())
        return {};
    Id3Tag out = fields(*tag);
    out.genre = id3v2Genre(*tag);
    return out;
}

Id3Tag apeFields(const TagLib::APE::Tag* tag)
{
    return tag && !tag->isEmpty() ? fields(*tag) : Id3Tag{};
}

// The size of the ID3v2 tag a file starts with (header and footer included), or 0.
std::uint64_t id3v2Size(const std::string& head)
{
    if (head.size() < 10 || head.compare(0, 3, "ID3") != 0 || static_cast<unsigned char>(head[3]) > 4)
        return 0;
    std::uint64_t size = 0;
    for (int i = 6; i < 10; ++i) {
        const auto byte = static_cast<unsigned char>(head[static_cast<std::size_t>(i)]);
        if (byte & 0x80)
            return 0;
        size = (size << 7) | byte;
    }
    const bool footer = (static_cast<unsigned char>(head[5]) & 0x10) != 0;
    return size + 10 + (footer ? 10 : 0);
}

std::string readHead(int fd, std::uint64_t bytes)
{
    std::string data(bytes, '\0');
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::pread(fd, data.data() + done, data.size() - done, static_cast<off_t>(done));
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    data.resize(done);
    return data;
}

std::string extensionOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    const auto dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    return toLower(std::string_view(path).substr(dot + 1));
}

// The ID3v2 tag at the start of an MP3 file, read in one piece and parsed in memory: the cheap way
// for the usual song. Nothing when the file starts with no tag or a tag without text.
Id3Tag startingId3v2(const std::string& path)
{
    // Only plain files: O_NONBLOCK keeps a pipe named like a song from blocking the open.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return {};
    struct stat st {};
    std::string head;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        const auto size = static_cast<std::uint64_t>(st.st_size);
        head = readHead(fd, std::min(size, kHeadBytes));
        const std::uint64_t tag = std::min({id3v2Size(head), size, kMostTagBytes});
        if (tag == 0)
            head.clear();
        else if (tag > head.size())
            head = readHead(fd, tag);
        else
            head.resize(tag);
    }
    ::close(fd);
    if (head.empty())
        return {};
    TagLib::ByteVector bytes(head.data(), static_cast<unsigned int>(head.size()));
    TagLib::ByteVectorStream stream(bytes);
    TagLib::MPEG::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
    return file.isValid() ? id3v2Fields(file.ID3v2Tag()) : Id3Tag{};
}

// Whatever tag TagLib finds in the file, by the file's kind.
Id3Tag anyTag(const std::string& path)
{
    const TagLib::FileRef ref(path.c_str(), false);
    if (ref.isNull())
        return {};
    TagLib::File* file = ref.file();
    if (auto* mpeg = dynamic_cast<TagLib::MPEG::File*>(file)) {
        Id3Tag tag = id3v2Fields(mpeg->ID3v2Tag());
        return empty(tag) ? apeFields(mpeg->APETag()) : tag;
    }
    if (auto* flac = dynamic_cast<TagLib::FLAC::File*>(file)) {
        const TagLib::Ogg::XiphComment* xiph = flac->xiphComment();
        return xiph && !xiph->isEmpty() ? fields(*xiph) : id3v2Fields(flac->ID3v2Tag());
    }
    const TagLib::Tag* tag = ref.tag();
    return tag && !tag->isEmpty() ? fields(*tag) : Id3Tag{};
}

bool isPlainFile(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

Id3Tag TagLibReader::read(const std::string& path) const
{
    Id3Tag tag;
    // A FLAC file may start with an ID3v2 tag too; its Vorbis comment comes first.
    if (extensionOf(path) != "flac")
        tag = startingId3v2(path);
    if (empty(tag) && isPlainFile(path))
        tag = anyTag(path);
    return empty(tag) ? ReadSongTag(path) : tag;
}

} // namespace tavu
