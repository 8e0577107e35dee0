// Which announced names may be listed (they end up on the client's command line, so only plain characters pass),
// how a listed name is written, and the list that keeps them in order of arrival without duplicates.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace tallyrun::ssrp {

// A host name: ASCII letters, digits, '-', '_' and '.', starting with a letter, digit or '_' (a leading '-' would
// read as an option on a command line), at most MaxNameBytes long.
bool IsAcceptableServerName(std::string_view name);

// An instance name as SQL Server allows it, less the characters a shell or command line treats specially: ASCII
// letters, digits, '_' and '$', starting with a letter or '_', at most MaxNameBytes long.
bool IsAcceptableInstanceName(std::string_view name);

// "server" for the default instance, "server\instance" for a named one; nothing when either name is unacceptable.
std::optional<std::string> ListedName(std::string_view server, std::string_view instance);

// Names in order of first arrival, each once whatever its case, and never more than `capacity` of them.
class NameCollector {
public:
    explicit NameCollector(std::size_t capacity);

    // False when the name was already there (in any case) or the list is full.
    bool Add(const std::string& name);
    bool Full() const noexcept { return m_names.size() >= m_capacity; }
    std::vector<std::string> TakeNames() noexcept { return std::move(m_names); }

private:
    std::size_t m_capacity;
    std::vector<std::string> m_names;
    std::unordered_set<std::string> m_folded;
};

}  // namespace tallyrun::ssrp
