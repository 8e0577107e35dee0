// What the ODBC headers need before them on Windows: they declare their types through windows.h.
#pragma once

#include <windows.h>
