#include "platform/TagLibReader.h"

#include "id3/GenreTable.h"
#include "util/SongFileHandle.h"
#include "util/Text.h"
#include "util/Utf8.h"

#include <taglib/apefile.h>
#include <taglib/apetag.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2tag.h>
#include <taglib/infotag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/tbytevectorstream.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tfilestream.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>
#include <taglib/wavpackfile.h>
#include <taglib/xiphcomment.h>

#include <algorithm>
#include <cstdint>
#include <memory>

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

// At most kFieldLength characters, without blanks around.
std::string limited(std::string out)
{
    out = std::string(trimmed(out, " "));
    if (utf8Length(out) <= kFieldLength)
        return out;
    return limited(utf8Left(out, kFieldLength));
}

std::string text(const TagLib::String& value)
{
    return limited(value.to8Bit(true));
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
    out.track = tag.track() ? decimal(tag.track()) : std::string();
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
    return limited(genre);
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
    if (!tag || tag->isEmpty())
        return {};
    Id3Tag out = fields(*tag);
    // Some writers (FFmpeg's among them) call the year "Date" and give it as a date.
    if (const auto& items = tag->itemListMap(); out.year.empty() && items.contains("DATE")) {
        const std::string date = text(items["DATE"].toString());
        if (date.size() >= 4 && date.find_first_not_of("0123456789") >= 4)
            out.year = date.substr(0, 4);
    }
    return out;
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

// Tag bytes parsed in memory as an MP3 file: TagLib never reads more than was handed over.
template <class Read>
Id3Tag inMemory(const std::string& bytes, Read read)
{
    if (bytes.empty())
        return {};
    TagLib::ByteVector data(bytes.data(), static_cast<unsigned int>(bytes.size()));
    TagLib::ByteVectorStream stream(data);
    TagLib::MPEG::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
    return file.isValid() ? read(file) : Id3Tag{};
}

std::uint32_t littleEndian(const std::string& bytes, std::size_t at)
{
    std::uint32_t n = 0;
    for (int i = 3; i >= 0; --i)
        n = (n << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return n;
}

// The kinds of song file, told by their first bytes: the name may be wrong.
enum class Kind { Mpeg, Flac, Vorbis, Opus, Wave, Mp4, WavPack, Ape };

Kind kindOf(const std::string& start)
{
    if (start.starts_with("fLaC"))
        return Kind::Flac;
    if (start.size() >= 8 && start.compare(4, 4, "ftyp") == 0)
        return Kind::Mp4; // M4A: AAC or ALAC
    if (start.starts_with("wvpk"))
        return Kind::WavPack;
    if (start.starts_with("MAC "))
        return Kind::Ape;
    if (start.starts_with("OggS"))
        return start.find("OpusHead") != std::string::npos ? Kind::Opus : Kind::Vorbis;
    if (start.starts_with("RIFF") && start.size() >= 12 && start.compare(8, 4, "WAVE") == 0)
        return Kind::Wave;
    return Kind::Mpeg;
}

// An open song file: its size and its first bytes.
class SongFile {
public:
    explicit SongFile(const std::string& path) : m_file(path)
    {
        if (!m_file.plain())
            return;
        m_size = m_file.size();
        m_head = m_file.readAt(0, std::min(m_size, kHeadBytes));
        m_id3v2 = std::min({id3v2Size(m_head), m_size, kMostTagBytes});
    }

    bool plain() const { return m_file.plain(); }
    const SongFileHandle& handle() const { return m_file; }

    // The bytes after the ID3v2 tag the file may start with, where the audio begins.
    Kind kind() const
    {
        if (m_id3v2 + 64 <= m_head.size())
            return kindOf(m_head.substr(m_id3v2, 64));
        return kindOf(m_file.readAt(m_id3v2, 64));
    }

    // The ID3v2 tag at the start, read in one piece.
    Id3Tag id3v2() const
    {
        if (m_id3v2 == 0)
            return {};
        const std::string tag = m_id3v2 <= m_head.size() ? m_head.substr(0, m_id3v2) : m_file.readAt(0, m_id3v2);
        return inMemory(tag, [](TagLib::MPEG::File& f) { return id3v2Fields(f.ID3v2Tag()); });
    }

    // The APE tag at the end, before an ID3v1 tag if there is one, read in one piece.
    Id3Tag ape() const
    {
        constexpr std::uint64_t kFooter = 32, kId3v1 = 128;
        const std::uint64_t tailSize = std::min(m_size, kFooter + kId3v1);
        const std::string tail = m_file.readAt(m_size - tailSize, tailSize);
        for (const std::uint64_t after : {std::uint64_t{0}, kId3v1}) {
            if (tail.size() < kFooter + after)
                continue;
            const std::size_t footer = tail.size() - after - kFooter;
            if (tail.compare(footer, 8, "APETAGEX") != 0)
                continue;
            const std::uint64_t size = std::min<std::uint64_t>(littleEndian(tail, footer + 12), kMostTagBytes);
            const std::uint64_t end = m_size - after;
            if (size < kFooter || size > end)
                return {};
            return inMemory(m_file.readAt(end - size, size),
                            [](TagLib::MPEG::File& f) { return apeFields(f.APETag()); });
        }
        return {};
    }

private:
    SongFileHandle m_file;
    std::uint64_t m_size = 0;
    std::string m_head;
    std::uint64_t m_id3v2 = 0;
};

// The tag of a FLAC, Ogg, WAV, M4A, WavPack or APE file, read by TagLib's reader of that kind from the file already
// open, never by its name again (which may name another file by now).
Id3Tag containerTag(const SongFileHandle& song, Kind kind)
{
    const int fd = song.duplicate();
    if (fd < 0)
        return {};
    TagLib::FileStream stream(fd, true); // closes fd
    if (!stream.isOpen())
        return {};
    switch (kind) {
    case Kind::Flac: {
        TagLib::FLAC::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
        if (!file.isValid())
            return {};
        const TagLib::Ogg::XiphComment* xiph = file.xiphComment();
        return xiph && !xiph->isEmpty() ? fields(*xiph) : id3v2Fields(file.ID3v2Tag());
    }
    case Kind::Vorbis: {
        TagLib::Ogg::Vorbis::File file(&stream, false);
        return file.isValid() && file.tag() && !file.tag()->isEmpty() ? fields(*file.tag()) : Id3Tag{};
    }
    case Kind::Opus: {
        TagLib::Ogg::Opus::File file(&stream, false);
        return file.isValid() && file.tag() && !file.tag()->isEmpty() ? fields(*file.tag()) : Id3Tag{};
    }
    case Kind::Wave: {
        TagLib::RIFF::WAV::File file(&stream, false);
        if (!file.isValid())
            return {};
        Id3Tag tag = id3v2Fields(file.ID3v2Tag());
        const TagLib::RIFF::Info::Tag* info = file.InfoTag();
        return empty(tag) && info && !info->isEmpty() ? fields(*info) : tag;
    }
    case Kind::Mp4: {
        TagLib::MP4::File file(&stream, false);
        return file.isValid() && file.tag() && !file.tag()->isEmpty() ? fields(*file.tag()) : Id3Tag{};
    }
    case Kind::WavPack: {
        TagLib::WavPack::File file(&stream, false);
        return file.isValid() ? apeFields(file.APETag()) : Id3Tag{};
    }
    case Kind::Ape: {
        TagLib::APE::File file(&stream, false);
        return file.isValid() ? apeFields(file.APETag()) : Id3Tag{};
    }
    case Kind::Mpeg:
        break;
    }
    return {};
}

} // namespace

Id3Tag TagLibReader::read(const std::string& path) const
{
    // TagLib is never handed a whole file it would have to search: an MP3 file's tags are read in
    // one piece each, and the other kinds only go to their reader when their first bytes say so.
    const SongFile file(path);
    if (!file.plain())
        return {};
    const Kind kind = file.kind();
    Id3Tag tag;
    if (kind == Kind::Mpeg) {
        tag = file.id3v2();
        if (empty(tag))
            tag = file.ape();
    } else {
        tag = containerTag(file.handle(), kind);
    }
    return empty(tag) ? readSongTag(file.handle()) : tag;
}

namespace {

constexpr unsigned kMostPictureBytes = 16 * 1024 * 1024;

SongPicture picture(const TagLib::ByteVector& data, const TagLib::String& mime)
{
    if (data.isEmpty() || data.size() > kMostPictureBytes)
        return {};
    return {mime.to8Bit(true), std::string(data.data(), data.size())};
}

// The front cover among a list of pictures, else the first of them.
SongPicture frontCover(const TagLib::List<TagLib::FLAC::Picture*>& pictures)
{
    const TagLib::FLAC::Picture* best = nullptr;
    for (const TagLib::FLAC::Picture* p : pictures)
        if (!best || (p->type() == TagLib::FLAC::Picture::FrontCover && best->type() != p->type()))
            best = p;
    return best ? picture(best->data(), best->mimeType()) : SongPicture{};
}

SongPicture id3v2Cover(const TagLib::ID3v2::Tag* tag)
{
    if (!tag)
        return {};
    const TagLib::ID3v2::AttachedPictureFrame* best = nullptr;
    for (const TagLib::ID3v2::Frame* frame : tag->frameList("APIC")) {
        const auto* p = dynamic_cast<const TagLib::ID3v2::AttachedPictureFrame*>(frame);
        if (p && (!best || (p->type() == TagLib::ID3v2::AttachedPictureFrame::FrontCover && best->type() != p->type())))
            best = p;
    }
    return best ? picture(best->picture(), best->mimeType()) : SongPicture{};
}

} // namespace

SongPicture TagLibReader::picture(const std::string& path) const
{
    const SongFile file(path);
    if (!file.plain())
        return {};
    switch (file.kind()) {
    case Kind::Mpeg: {
        TagLib::MPEG::File song(path.c_str(), false);
        return song.isValid() ? id3v2Cover(song.ID3v2Tag()) : SongPicture{};
    }
    case Kind::Flac: {
        TagLib::FLAC::File song(path.c_str(), false);
        return song.isValid() ? frontCover(song.pictureList()) : SongPicture{};
    }
    case Kind::Vorbis: {
        TagLib::Ogg::Vorbis::File song(path.c_str(), false);
        return song.isValid() && song.tag() ? frontCover(song.tag()->pictureList()) : SongPicture{};
    }
    case Kind::Opus: {
        TagLib::Ogg::Opus::File song(path.c_str(), false);
        return song.isValid() && song.tag() ? frontCover(song.tag()->pictureList()) : SongPicture{};
    }
    case Kind::Mp4: {
        TagLib::MP4::File song(path.c_str(), false);
        if (!song.isValid() || !song.tag() || !song.tag()->contains("covr"))
            return {};
        const TagLib::MP4::CoverArtList covers = song.tag()->item("covr").toCoverArtList();
        if (covers.isEmpty())
            return {};
        const TagLib::MP4::CoverArt& cover = covers.front();
        return tavu::picture(cover.data(), cover.format() == TagLib::MP4::CoverArt::PNG ? "image/png" : "image/jpeg");
    }
    case Kind::Wave:
    case Kind::WavPack:
    case Kind::Ape:
        return {};
    }
    return {};
}

} // namespace tavu
