#include "osql/output.h"

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

std::string FormatMessage(const odbc::Diagnostic& message)
{
    if (!message.IsError())
        return message.Message();
    std::string header = "Msg " + std::to_string(message.native);
    if (message.severity)
        header += ", Level " + std::to_string(*message.severity);
    if (message.state)
        header += ", State " + std::to_string(*message.state);
    if (!message.server.empty())
        header += ", Server " + message.server;
    if (!message.procedure.empty())
        header += ", Procedure " + message.procedure;
    if (message.line)
        header += ", Line " + std::to_string(*message.line);
    return header + "\n" + message.Message();
}

std::string RowsAffected(long long count)
{
    return "(" + std::to_string(count) + (count == 1 ? " row affected)" : " rows affected)");
}

ResultPrinter::ResultPrinter(std::ostream& out, std::vector<odbc::Column> columns)
    : m_out(out), m_columns(std::move(columns))
{
    for (const auto& column : m_columns) {
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
        cells.push_back(value.value_or("NULL"));
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
