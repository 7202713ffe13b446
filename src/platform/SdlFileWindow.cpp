#include "platform/SdlFileWindow.h"

#include <algorithm>

namespace tavu {
namespace {

struct Window {
    SDL_RWops* file;
    Sint64 start;
    Sint64 length;
};

Window& windowOf(SDL_RWops* rw)
{
    return *static_cast<Window*>(rw->hidden.unknown.data1);
}

Sint64 SDLCALL windowSize(SDL_RWops* rw)
{
    return windowOf(rw).length;
}

Sint64 SDLCALL windowSeek(SDL_RWops* rw, Sint64 offset, int whence)
{
    Window& w = windowOf(rw);
    Sint64 base = 0;
    if (whence == RW_SEEK_CUR)
        base = SDL_RWtell(w.file) - w.start;
    else if (whence == RW_SEEK_END)
        base = w.length;
    const Sint64 target = base + offset;
    if (target < 0)
        return SDL_SetError("Seek before the start");
    const Sint64 at = SDL_RWseek(w.file, w.start + target, RW_SEEK_SET);
    return at < 0 ? at : at - w.start;
}

size_t SDLCALL windowRead(SDL_RWops* rw, void* data, size_t size, size_t count)
{
    return SDL_RWread(windowOf(rw).file, data, size, count);
}

size_t SDLCALL windowWrite(SDL_RWops*, const void*, size_t, size_t)
{
    SDL_SetError("Read-only stream");
    return 0;
}

int SDLCALL windowClose(SDL_RWops* rw)
{
    Window* w = &windowOf(rw);
    const int result = SDL_RWclose(w->file);
    delete w;
    SDL_FreeRW(rw);
    return result;
}

} // namespace

SDL_RWops* openFileWindow(const std::string& path, Sint64 start)
{
    SDL_RWops* file = SDL_RWFromFile(path.c_str(), "rb");
    if (!file)
        return nullptr;
    const Sint64 size = SDL_RWsize(file);
    SDL_RWops* rw = SDL_AllocRW();
    if (size < 0 || !rw || SDL_RWseek(file, std::min(start, size), RW_SEEK_SET) < 0) {
        SDL_RWclose(file);
        if (rw)
            SDL_FreeRW(rw);
        return nullptr;
    }
    start = std::min(start, size);
    rw->type = SDL_RWOPS_UNKNOWN;
    rw->size = windowSize;
    rw->seek = windowSeek;
    rw->read = windowRead;
    rw->write = windowWrite;
    rw->close = windowClose;
    rw->hidden.unknown.data1 = new Window{file, start, size - start};
    return rw;
}

} // namespace tavu
