// The ODBC API headers, with whatever the system's need before them (odbc_prerequisites.h, chosen by CMake).
#pragma once

#include "odbc_prerequisites.h"

#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>
