#include "bot/CoverArt.h"

#include "settings/AtomicFile.h"
#include "util/Text.h"

#include <array>
#include <filesystem>

namespace tavu {

std::string coverBeside(const std::string& songPath)
{
    namespace fs = std::filesystem;
    static constexpr std::array<std::string_view, 4> kNames{"cover.jpg", "folder.jpg", "cover.png", "folder.png"};
    std::error_code ec;
    const fs::path folder = fs::path(songPath).parent_path();
    std::array<std::string, kNames.size()> found;
    for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        for (std::size_t i = 0; i < kNames.size(); ++i)
            if (found[i].empty() && equalsNoCase(name, kNames[i]) && it->is_regular_file(ec))
                found[i] = it->path().string();
    }
    for (const std::string& path : found)
        if (!path.empty())
            return path;
    return {};
}

std::string pictureExtension(const SongPicture& picture)
{
    const std::string& b = picture.bytes;
    if (b.starts_with("\xFF\xD8\xFF"))
        return "jpg";
    if (b.starts_with("\x89PNG"))
        return "png";
    if (b.starts_with("GIF8"))
        return "gif";
    if (b.size() >= 12 && b.starts_with("RIFF") && b.compare(8, 4, "WEBP") == 0)
        return "webp";
    return {};
}

std::string writeCover(const SongPicture& picture, const std::string& folder, const std::string& name)
{
    const std::string extension = pictureExtension(picture);
    if (extension.empty())
        return {};
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    const std::string path = folder + "/" + name + "." + extension;
    return writeFileAtomically(path, picture.bytes) ? path : std::string();
}

} // namespace tavu
