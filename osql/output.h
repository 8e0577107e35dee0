// How osql prints what a batch returns: server messages the way administrators know them, result sets as plain
// text columns (header, dashes, rows, row count).
#pragma once

#include "sqlclient/odbc/diagnostic.h"
#include "sqlclient/odbc/session.h"

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace tallyrun::osql {

// An error: "Msg <n>, Level <l>, State <s>, Server <name>, Line <n>" and the text on the next line, leaving out
// the fields the driver does not tell (FreeTDS tells no state). An informational message: its text alone.
std::string FormatMessage(const odbc::Diagnostic& message);

// A failure as it may be echoed: our own descriptions keep their lines; the server's text within a line, line
// breaks included, is made safe whole (see TerminalSafe).
std::string FormatError(const Error& error);

// "(1 row affected)", "(3 rows affected)".
std::string RowsAffected(long long count);

// Prints one result set as its rows arrive: column widths come from the driver's display sizes, not the data.
class ResultPrinter {
public:
    ResultPrinter(std::ostream& out, std::vector<odbc::Column> columns);
    void PrintHeader();
    void PrintRow(const odbc::Row& row);

private:
    void PrintLine(const std::vector<std::string>& cells);

    std::ostream& m_out;
    std::vector<odbc::Column> m_columns;
    std::vector<std::size_t> m_widths;
};

// Characters as a terminal counts them, not bytes: "Ünïcødé" is 7 wide.
std::size_t DisplayWidth(const std::string& utf8);

enum class LineBreaks { Escape, Keep };

// Text from the server (or quoting it) made safe to echo: control characters (C0 but tab, DEL, C1) become escapes
// such as \x1B and \n, so a name with an ESC or a line feed in it cannot drive the terminal or fake a line.
std::string TerminalSafe(std::string_view utf8, LineBreaks lineBreaks = LineBreaks::Escape);

}  // namespace tallyrun::osql
