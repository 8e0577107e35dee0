// The SQL Server fields of diagnostic records (severity, state, line, procedure) as the driver itself keeps
// them. unixODBC copies each driver record into its own list and answers driver-specific fields of the copies
// with nothing, so these are read from the driver, through its own SQLGetDiagFieldW, while it still holds them
// (until its next call on the handle).
#pragma once

#include "sqlclient/odbc/diagnostic.h"
#include "sqlclient/odbc/driver.h"
#include "sqlclient/odbc/odbc_api.h"

#include <vector>

namespace tallyrun::odbc {

// Fills the fields of `records` (read from the driver manager, in order) from the matching driver records of the
// statement `statement` on `connection`. Leaves a record as it is when the driver cannot be reached.
void AddDriverFields(SQLHDBC connection, SQLHSTMT statement, DriverKind kind, std::vector<Diagnostic>& records);

}  // namespace tallyrun::odbc
