// The list-file reader (Styles.txt) on arbitrary bytes.
//
// Invariant: the items read, written out again, read back as the same items, and writing them a
// second time gives the same bytes.
#include "FuzzSupport.h"

#include "settings/ListFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tavu;
    const std::vector<std::string> items = parseListFile(fuzz::asText(data, size));
    const std::string written = formatListFile(items);
    const std::vector<std::string> reread = parseListFile(written);
    FUZZ_CHECK(reread == items);
    FUZZ_CHECK(formatListFile(reread) == written);
    return 0;
}
