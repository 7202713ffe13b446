#include "app/WindowsLoader.h"

#include <dlfcn.h>

#include <iostream>
#include <system_error>
#include <vector>

namespace tavu {

int runWithWindows(int& argc, char** argv, const std::filesystem::path& programDir, bool noIntro, bool firstStart)
{
    using Entry = int (*)(int*, char**, const char*, int, int);
    std::vector<std::filesystem::path> candidates;
    std::error_code ec;
    if (const auto self = std::filesystem::read_symlink("/proc/self/exe", ec); !ec)
        candidates.push_back(self.parent_path() / "tavu-windows.so");
    candidates.push_back(std::filesystem::path(TAVU_MODULE_DIR) / "tavu-windows.so");
    std::string errors;
    for (const std::filesystem::path& candidate : candidates) {
        if (!std::filesystem::exists(candidate, ec))
            continue;
        void* module = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!module) {
            errors += std::string("\n  ") + ::dlerror();
            continue;
        }
        // The module stays loaded to the end: Qt's objects in it live until exit.
        if (const auto run = reinterpret_cast<Entry>(::dlsym(module, "tavu_run_windows")))
            return run(&argc, argv, programDir.c_str(), noIntro ? 1 : 0, firstStart ? 1 : 0);
        errors += "\n  " + candidate.string() + " has no windows in it";
    }
    std::cerr << "tavu: cannot load the windows (tavu-windows.so, looked for next to the program and in "
              << TAVU_MODULE_DIR << ")" << errors << "\n";
    return 1;
}

} // namespace tavu
