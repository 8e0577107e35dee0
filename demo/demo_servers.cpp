// The servers scripts/demo shows the window: a SQL Server Browser on 127.0.0.1:1434 naming three instances on
// localhost, each a SQL Server stand-in with user databases of its own. FINANCE forces encryption, and refuses the
// update of Payroll as SQL Server refuses a user who is neither db_owner there nor sysadmin. Prints "ready", then
// serves until it is killed, as the demo's namespace ends. Run it only in a network namespace of its own, where the
// browser's port is free, with the demo realm's environment.
#include "tds_standin.h"
#include "tests/fixtures/ssrp_responder/ssrp_responder.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <exception>

int main()
{
    using namespace tallyrun::testing;
    try {
        TdsStandIn sales;
        TdsStandIn finance({.encryption = TdsStandIn::Encryption::Full});
        TdsStandIn reporting;
        sales.SetCatalog({{"Accounts"}, {"Customers"}, {"Orders"}, {"Sales"}});
        finance.SetCatalog({{"Budget"}, {"Ledger"}, {"Payroll"}});
        reporting.SetCatalog({{"Reporting"}, {"Warehouse"}});
        // SQL Server's own words; the user is the database user of the realm's login, named as Windows names it.
        finance.AddReply("UPDATEUSAGE('Payroll')",
                         {2571, 3, 14, "User 'TALLYRUN\\tester' does not have permission to run DBCC UPDATEUSAGE."});
        const auto at = [](const char* instance, const TdsStandIn& server) {
            return InstanceRecord{.server = "localhost", .instance = instance, .tcpPort = server.Port()};
        };
        const SsrpResponder browser(
            {.port = 1434, .instances = {at("SALES", sales), at("FINANCE", finance), at("REPORTING", reporting)}});
        std::printf("ready\n");
        std::fflush(stdout);
        for (;;)
            ::pause();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "demo_servers: %s\n", error.what());
        return EXIT_FAILURE;
    }
}
