// The servers the screenshots show (scripts/screenshot): a SQL Server Browser on 127.0.0.1:1434 naming a few
// instances, among them SALES, a SQL Server stand-in with a handful of user databases, and ARCHIVE, one that holds
// every batch unanswered, so that a run's wait dialog stays up. Prints "ready", then serves until SIGTERM or
// SIGINT. Run it only in a network namespace of its own, where the browser's port is free.
#include "tds_standin.h"
#include "tests/fixtures/ssrp_responder/ssrp_responder.h"

#include <csignal>
#include <cstdio>

int main()
{
    using namespace tallyrun::testing;
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGTERM);
    sigaddset(&stop, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);

    TdsStandIn server;
    TdsStandIn runs({.afterBatch = TdsStandIn::AfterBatch::Stall});
    server.SetCatalog({{"master", true}, {"tempdb", true}, {"model", true}, {"msdb", true}, {"Accounts"},
                       {"Inventory"}, {"Payroll"}, {"Reporting"}, {"Sales"}, {"Warehouse"}});

    ResponderOptions browser{.port = 1434,
                             .instances = {{"SQLPROD01", "MSSQLSERVER", "16.0.1000.6", false, 1433},
                                           {"SQLPROD01", "SALES", "16.0.1000.6", false, server.Port()},
                                           {"SQLREPORT", "MSSQLSERVER", "15.0.2000.5", false, 1433},
                                           {"SQLTEST02", "SQLEXPRESS", "16.0.1000.6", false, 1433}}};
    // Not in the list, only found by name: the instance whose runs wait.
    browser.rawInstanceAnswers["ARCHIVE"] =
        ResponseDatagram({{"SQLPROD01", "ARCHIVE", "16.0.1000.6", false, runs.Port()}});
    SsrpResponder responder(browser);

    std::printf("ready\n");
    std::fflush(stdout);
    int signal = 0;
    sigwait(&stop, &signal);
}
