// The ODBC API headers, in the order each system needs them: Windows' declare their types through windows.h.
#pragma once

#ifdef _WIN32
#include <windows.h>
#endif

#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>
