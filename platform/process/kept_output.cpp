#include "platform/process/kept_output.h"

#include <algorithm>

namespace tallyrun {

void KeptOutput::Append(std::string_view bytes)
{
    const std::size_t toHead = std::min(bytes.size(), Half - m_head.size());
    m_head.append(bytes.substr(0, toHead));
    bytes.remove_prefix(toHead);
    m_tail.append(bytes);
    if (m_tail.size() > 2 * Half) {
        const std::size_t excess = m_tail.size() - Half;
        m_tail.erase(0, excess);
        m_dropped += excess;
    }
}

std::string KeptOutput::Text() const
{
    if (m_dropped == 0 && m_tail.size() <= Half)
        return m_head + m_tail;
    std::string_view tail(m_tail);
    if (tail.size() > Half)
        tail.remove_prefix(tail.size() - Half);
    std::uint64_t leftOut = m_dropped + (m_tail.size() - tail.size());
    // A line cut in two would read as a different line.
    if (const auto newline = tail.find('\n'); newline != std::string_view::npos) {
        leftOut += newline + 1;
        tail.remove_prefix(newline + 1);
    }
    std::string text = m_head;
    if (!text.empty() && text.back() != '\n')
        text += '\n';
    text += "[... " + std::to_string(leftOut) + " bytes of output left out ...]\n";
    text.append(tail);
    return text;
}

}  // namespace tallyrun
