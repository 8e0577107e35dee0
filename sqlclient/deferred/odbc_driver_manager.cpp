// The driver manager's functions this client calls, opened from unixODBC on the first call. Without the library
// each call fails as an ODBC call does, with no diagnostics, and the caller reports why.
#include "sqlclient/deferred/deferred_library.h"
#include "sqlclient/odbc/driver_manager.h"
#include "sqlclient/odbc/odbc_api.h"

namespace {

const tallyrun::DeferredLibrary& DriverManager()
{
    static const tallyrun::DeferredLibrary library("libodbc.so.2");
    return library;
}

template <auto Declared, class... Args>
SQLRETURN Forward(const char* name, Args... args)
{
    return tallyrun::CallDeferred<Declared>(DriverManager(), name, SQLRETURN{SQL_ERROR}, args...);
}

}  // namespace

std::string tallyrun::odbc::DriverManagerFailure(const DeferredLibrary& library)
{
    if (library.Failure().empty())
        return {};
    return "The ODBC driver manager cannot be loaded (" + library.Failure() +
           "). Install it (on Debian: apt-get install libodbc2).";
}

std::string tallyrun::odbc::DriverManagerFailure()
{
    return DriverManagerFailure(DriverManager());
}

extern "C" {

SQLRETURN SQL_API SQLAllocHandle(SQLSMALLINT type, SQLHANDLE input, SQLHANDLE* output)
{
    return Forward<&SQLAllocHandle>("SQLAllocHandle", type, input, output);
}

SQLRETURN SQL_API SQLFreeHandle(SQLSMALLINT type, SQLHANDLE handle)
{
    return Forward<&SQLFreeHandle>("SQLFreeHandle", type, handle);
}

SQLRETURN SQL_API SQLSetEnvAttr(SQLHENV environment, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER length)
{
    return Forward<&SQLSetEnvAttr>("SQLSetEnvAttr", environment, attribute, value, length);
}

SQLRETURN SQL_API SQLDriversW(SQLHENV environment, SQLUSMALLINT direction, SQLWCHAR* description,
                              SQLSMALLINT descriptionMax, SQLSMALLINT* descriptionLength, SQLWCHAR* attributes,
                              SQLSMALLINT attributesMax, SQLSMALLINT* attributesLength)
{
    return Forward<&SQLDriversW>("SQLDriversW", environment, direction, description, descriptionMax,
                                 descriptionLength, attributes, attributesMax, attributesLength);
}

SQLRETURN SQL_API SQLSetConnectAttrW(SQLHDBC connection, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER length)
{
    return Forward<&SQLSetConnectAttrW>("SQLSetConnectAttrW", connection, attribute, value, length);
}

SQLRETURN SQL_API SQLGetConnectAttrW(SQLHDBC connection, SQLINTEGER attribute, SQLPOINTER value,
                                     SQLINTEGER valueMax, SQLINTEGER* length)
{
    return Forward<&SQLGetConnectAttrW>("SQLGetConnectAttrW", connection, attribute, value, valueMax, length);
}

SQLRETURN SQL_API SQLDriverConnectW(SQLHDBC connection, SQLHWND window, SQLWCHAR* in, SQLSMALLINT inLength,
                                    SQLWCHAR* out, SQLSMALLINT outMax, SQLSMALLINT* outLength,
                                    SQLUSMALLINT completion)
{
    return Forward<&SQLDriverConnectW>("SQLDriverConnectW", connection, window, in, inLength, out, outMax,
                                       outLength, completion);
}

SQLRETURN SQL_API SQLDisconnect(SQLHDBC connection)
{
    return Forward<&SQLDisconnect>("SQLDisconnect", connection);
}

SQLRETURN SQL_API SQLGetInfoW(SQLHDBC connection, SQLUSMALLINT type, SQLPOINTER value, SQLSMALLINT valueMax,
                              SQLSMALLINT* length)
{
    return Forward<&SQLGetInfoW>("SQLGetInfoW", connection, type, value, valueMax, length);
}

SQLRETURN SQL_API SQLSetStmtAttrW(SQLHSTMT statement, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER length)
{
    return Forward<&SQLSetStmtAttrW>("SQLSetStmtAttrW", statement, attribute, value, length);
}

SQLRETURN SQL_API SQLExecDirectW(SQLHSTMT statement, SQLWCHAR* text, SQLINTEGER length)
{
    return Forward<&SQLExecDirectW>("SQLExecDirectW", statement, text, length);
}

SQLRETURN SQL_API SQLNumResultCols(SQLHSTMT statement, SQLSMALLINT* columns)
{
    return Forward<&SQLNumResultCols>("SQLNumResultCols", statement, columns);
}

SQLRETURN SQL_API SQLDescribeColW(SQLHSTMT statement, SQLUSMALLINT column, SQLWCHAR* name, SQLSMALLINT nameMax,
                                  SQLSMALLINT* nameLength, SQLSMALLINT* type, SQLULEN* size, SQLSMALLINT* scale,
                                  SQLSMALLINT* nullable)
{
    return Forward<&SQLDescribeColW>("SQLDescribeColW", statement, column, name, nameMax, nameLength, type, size,
                                     scale, nullable);
}

SQLRETURN SQL_API SQLColAttributeW(SQLHSTMT statement, SQLUSMALLINT column, SQLUSMALLINT field, SQLPOINTER text,
                                   SQLSMALLINT textMax, SQLSMALLINT* textLength, SQLLEN* number)
{
    return Forward<&SQLColAttributeW>("SQLColAttributeW", statement, column, field, text, textMax, textLength,
                                      number);
}

SQLRETURN SQL_API SQLFetch(SQLHSTMT statement)
{
    return Forward<&SQLFetch>("SQLFetch", statement);
}

SQLRETURN SQL_API SQLGetData(SQLHSTMT statement, SQLUSMALLINT column, SQLSMALLINT type, SQLPOINTER value,
                             SQLLEN valueMax, SQLLEN* length)
{
    return Forward<&SQLGetData>("SQLGetData", statement, column, type, value, valueMax, length);
}

SQLRETURN SQL_API SQLRowCount(SQLHSTMT statement, SQLLEN* rows)
{
    return Forward<&SQLRowCount>("SQLRowCount", statement, rows);
}

SQLRETURN SQL_API SQLMoreResults(SQLHSTMT statement)
{
    return Forward<&SQLMoreResults>("SQLMoreResults", statement);
}

SQLRETURN SQL_API SQLGetDiagRecW(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record, SQLWCHAR* state,
                                 SQLINTEGER* native, SQLWCHAR* message, SQLSMALLINT messageMax,
                                 SQLSMALLINT* messageLength)
{
    return Forward<&SQLGetDiagRecW>("SQLGetDiagRecW", type, handle, record, state, native, message, messageMax,
                                    messageLength);
}

SQLRETURN SQL_API SQLGetDiagFieldW(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record, SQLSMALLINT field,
                                   SQLPOINTER value, SQLSMALLINT valueMax, SQLSMALLINT* length)
{
    return Forward<&SQLGetDiagFieldW>("SQLGetDiagFieldW", type, handle, record, field, value, valueMax, length);
}

}  // extern "C"
