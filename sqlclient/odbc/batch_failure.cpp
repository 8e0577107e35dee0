#include "sqlclient/odbc/batch_failure.h"

#include <algorithm>

namespace tallyrun::odbc {
namespace {

// FreeTDS's own "Unexpected EOF from the server", which it gives as a mere warning (severity 9).
constexpr long FreeTdsEndOfStream = 20017;

bool Any(const std::vector<Diagnostic>& records, bool (*test)(const Diagnostic&))
{
    return std::any_of(records.begin(), records.end(), test);
}

}  // namespace

void RaiseCallFailure(std::vector<Diagnostic> records, ConnectionEnd end, std::chrono::seconds queryTimeout, bool cut)
{
    if (queryTimeout.count() > 0 && (cut || Any(records, [](const Diagnostic& d) { return d.sqlState == "HYT00"; })))
        throw QueryTimeout(queryTimeout, std::move(records));
    if (end == ConnectionEnd::Reset)
        throw OdbcError("The connection to the server was reset by the server before the batch finished.",
                        std::move(records));
    if (end == ConnectionEnd::Closed
        || Any(records, [](const Diagnostic& d) { return d.native == FreeTdsEndOfStream; }))
        throw OdbcError("The connection to the server was lost: the server closed it before the batch finished.",
                        std::move(records));
    if (end == ConnectionEnd::Lost)
        throw OdbcError("The connection to the server was lost before the batch finished.", std::move(records));
    throw OdbcError(std::move(records));
}

}  // namespace tallyrun::odbc
