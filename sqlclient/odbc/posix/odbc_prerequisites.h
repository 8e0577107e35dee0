// What the ODBC headers need before them on POSIX systems: nothing, unixODBC's declare their own types.
#pragma once
