#include "osql/output.h"

#include "client_lines/client_lines.h"

#include <algorithm>

namespace tallyrun::osql {
namespace {

// Wide types (nvarchar(max), text) report huge display sizes; longer values still print whole.
constexpr std::size_t MaxColumnWidth = 128;

}  // namespace

std::size_t DisplayWidth(const std::string& utf8)
{
    return static_cast<std::size_t>(
        std::count_if(utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string TerminalSafe(std::string_view utf8, LineBreaks lineBreaks)
{
    std::string safe;
    safe.reserve(utf8.size());
    const auto escape = [&safe](const char* prefix, unsigned char code) {
        static const char* const hex = "0123456789ABCDEF";
        safe += prefix;
        safe += hex[code >> 4];
        safe += hex[code & 15];
    };
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        const auto next = i + 1 < utf8.size() ? static_cast<unsigned char>(utf8[i + 1]) : 0;
        if (c == 0xC2 && next >= 0x80 && next <= 0x9F) {  // U+0080 to U+009F, the C1 controls
            escape("\\u00", next);
            ++i;
        } else if (c == '\n' && lineBreaks == LineBreaks::Escape) {
            safe += "\\n";
        } else if (c == '\r') {
            safe += "\\r";
        } else if ((c < 0x20 && c != '\t' && c != '\n') || c == 0x7F) {
            escape("\\x", c);
        } else {
            safe += static_cast<char>(c);
        }
    }
    return safe;
}

std::string FormatMessage(const odbc::Diagnostic& message)
{
    if (!message.IsError())
        return TerminalSafe(message.Message());
    using namespace client_lines;
    std::string header = std::string(MsgField) + std::to_string(message.native);
    if (message.severity)
        header += std::string(LevelField) + std::to_string(*message.severity);
    if (message.state)
        header += std::string(StateField) + std::to_string(*message.state);
    if (!message.server.empty())
        header += std::string(ServerField) + TerminalSafe(message.server);
    if (!message.procedure.empty())
        header += std::string(ProcedureField) + TerminalSafe(message.procedure);
    if (message.line)
        header += std::string(LineField) + std::to_string(*message.line);
    return header + "\n" + TerminalSafe(message.Message());
}

std::string FormatError(const Error& error)
{
    const auto* odbcError = dynamic_cast<const odbc::OdbcError*>(&error);
    if (!odbcError)
        return TerminalSafe(error.Description(), LineBreaks::Keep);
    std::string text;
    for (const auto& line : odbcError->Lines())
        text += (text.empty() ? "" : "\n") + TerminalSafe(line);
    return text;
}

std::string RowsAffected(long long count)
{
    return "(" + std::to_string(count) + (count == 1 ? " row affected)" : " rows affected)");
}

ResultPrinter::ResultPrinter(std::ostream& out, std::vector<odbc::Column> columns)
    : m_out(out), m_columns(std::move(columns))
{
    for (auto& column : m_columns) {
        column.name = TerminalSafe(column.name);
        const auto display = static_cast<std::size_t>(std::max(column.displaySize, 4L));  // room for "NULL"
        m_widths.push_back(std::max(DisplayWidth(column.name), std::min(display, MaxColumnWidth)));
    }
}

void ResultPrinter::PrintHeader()
{
    std::vector<std::string> names;
    std::vector<std::string> dashes;
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        names.push_back(m_columns[i].name);
        dashes.push_back(std::string(m_widths[i], '-'));
    }
    PrintLine(names);
    PrintLine(dashes);
}

void ResultPrinter::PrintRow(const odbc::Row& row)
{
    std::vector<std::string> cells;
    for (const auto& value : row)
        cells.push_back(value ? TerminalSafe(*value) : "NULL");
    PrintLine(cells);
}

void ResultPrinter::PrintLine(const std::vector<std::string>& cells)
{
    std::string line;
    for (std::size_t i = 0; i < cells.size() && i < m_widths.size(); ++i) {
        const std::size_t width = DisplayWidth(cells[i]);
        const std::string pad(m_widths[i] > width ? m_widths[i] - width : 0, ' ');
        if (i > 0)
            line += ' ';
        line += m_columns[i].numeric ? pad + cells[i] : cells[i] + pad;
    }
    line.erase(line.find_last_not_of(' ') + 1);
    m_out << line << '\n';
}

}  // namespace tallyrun::osql
