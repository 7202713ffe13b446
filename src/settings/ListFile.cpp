#include "settings/ListFile.h"

#include "settings/AtomicFile.h"
#include "util/Cp1252.h"
#include "util/ListBox.h"

#include <algorithm>

namespace tavu {
namespace {

constexpr char kQuote = '"';

bool endsField(char c)
{
    return c == ',' || c == '\r' || c == '\n';
}

// Steps over the comma or the line end (CR LF, CR or LF) that ended a field.
void skipDelimiter(std::string_view bytes, std::size_t& at)
{
    if (at >= bytes.size())
        return;
    const char c = bytes[at++];
    if (c == '\r' && at < bytes.size() && bytes[at] == '\n')
        ++at;
}

// A quoted field, at points just after its opening quote. A doubled quote inside stands for one
// quote; a field whose closing quote is missing runs to the end of the file. Anything between the
// closing quote and the next delimiter is dropped.
std::string readQuoted(std::string_view bytes, std::size_t& at)
{
    std::string field;
    for (;;) {
        const std::size_t close = bytes.find(kQuote, at);
        if (close == std::string_view::npos) {
            field += bytes.substr(at);
            at = bytes.size();
            return field;
        }
        field += bytes.substr(at, close - at);
        at = close + 1;
        if (at < bytes.size() && bytes[at] == kQuote) {
            field += kQuote;
            ++at;
            continue;
        }
        break;
    }
    while (at < bytes.size() && !endsField(bytes[at]))
        ++at;
    return field;
}

std::string readField(std::string_view bytes, std::size_t& at)
{
    while (at < bytes.size() && bytes[at] == ' ')
        ++at;
    std::string field;
    if (at < bytes.size() && bytes[at] == kQuote) {
        ++at;
        field = readQuoted(bytes, at);
    } else {
        const std::size_t start = at;
        while (at < bytes.size() && !endsField(bytes[at]))
            ++at;
        field = bytes.substr(start, at - start);
    }
    skipDelimiter(bytes, at);
    return field;
}

bool needsQuotes(std::string_view item)
{
    return item.empty() || item.front() == ' ' || item.back() == ' ' ||
           item.find_first_of(",\"\r\n") != std::string_view::npos;
}

std::string quoted(std::string_view bytes)
{
    std::string out(1, kQuote);
    for (const char c : bytes) {
        out += c;
        if (c == kQuote)
            out += kQuote;
    }
    out += kQuote;
    return out;
}

} // namespace

std::vector<std::string> parseListFile(std::string_view bytes)
{
    std::vector<std::string> items;
    std::size_t at = 0;
    while (at < bytes.size())
        items.push_back(decodeStoredText(readField(bytes, at)));
    return items;
}

std::string formatListFile(const std::vector<std::string>& items)
{
    std::string out;
    for (const std::string& item : items) {
        const std::string bytes = encodeStoredText(item);
        out += needsQuotes(bytes) ? quoted(bytes) : bytes;
        out += "\r\n";
    }
    return out;
}

bool loadListFile(const std::string& path, ListBox& list)
{
    const auto bytes = readFileBytes(path);
    if (!bytes)
        return false;
    std::vector<std::string> items = parseListFile(*bytes);
    // Sorted once, not put in one by one: a large unsorted file costs O(n log n).
    list.addSortedItems(list.sorted() ? sortNoCase(std::move(items)) : std::move(items));
    return true;
}

bool saveListFile(const std::string& path, const ListBox& list)
{
    return writeFileAtomically(path, formatListFile(list.items()));
}

} // namespace tavu
