// The database list button over the real server object, FreeTDS and the SQL Server stand-in. Everything else the
// window reaches is faked; nothing leaves the loopback interface.
#include "main_window/frm_Main.h"
#include "platform/sqldmo/system_objects.h"
#include "tds_standin.h"
#include "tests/fixtures/fake_platform/fake_platform.h"

#include <QElapsedTimer>
#include <QTest>

#include <cstdio>

namespace tallyrun {
namespace {

using testing::CatalogDatabase;
using testing::TdsStandIn;

struct Harness {
    fakes::FakePlatform fake;
    sqldmo::SystemObjectFactory objects;
    Platform platform{objects, fake.launcher, fake.processes, fake.toolkit};
    frm_Main window{platform};
    fakes::FakeForm& form = fake.toolkit.Find("frm_Main");

    // These tests never list servers; were one to, it would ask nobody.
    explicit Harness(std::chrono::seconds queryTimeout = std::chrono::seconds(30))
        : objects({.serverListing = [] { return std::vector<std::string>{}; },
                   .server = {.driver = odbc::Driver{odbc::DriverKind::FreeTds, odbc::FreeTdsDebianLibrary},
                              .queryTimeout = queryTimeout}})
    {
        window.Show();
    }

    void ListDatabasesOf(const TdsStandIn& server) const
    {
        form.Combo("cbo_Servers").text = "localhost," + std::to_string(server.Port());
        form.Button("cmd_ListDBs").Click();
    }
};

}  // namespace

class DiscoveryIntegrationTest : public QObject {
    Q_OBJECT

private slots:
    // As many databases as a server holds, system ones among them and a name outside ASCII: the user databases in
    // the server's order, from one query over one login.
    void listsTheUserDatabasesInOrderWithOneQuery()
    {
        constexpr int Count = 32'767;
        std::vector<CatalogDatabase> catalog{{"Ünïcødé 販売", false}, {"master", true}, {"model", true}};
        for (int number = 2; number <= Count; ++number) {
            char name[16];
            std::snprintf(name, sizeof name, "db%05d", number);
            catalog.push_back({name, false});
        }
        catalog.push_back({"tempdb", true});
        TdsStandIn server;
        server.SetCatalog(std::move(catalog));
        Harness harness;

        harness.ListDatabasesOf(server);

        for (const auto& message : harness.fake.toolkit.messages)
            QFAIL(message.text.c_str());
        const fakes::FakeComboBox& databases = harness.form.Combo("cbo_DBs");
        QCOMPARE(databases.ListCount(), Count + 1);
        QCOMPARE(databases.List(1), std::string("Ünïcødé 販売"));
        QCOMPARE(databases.List(2), std::string("db00002"));
        QCOMPARE(databases.List(Count), std::string("db32767"));
        QCOMPARE(server.SuccessfulLogins(), 1);
        QCOMPARE(server.Batches(), std::vector<std::string>{std::string(sqldmo::DatabaseCatalogQuery)});
    }

    void givesUpOnAListTheServerNeverAnswers()
    {
        TdsStandIn stallingServer({.afterBatch = TdsStandIn::AfterBatch::Stall});
        Harness harness(std::chrono::seconds(2));
        QElapsedTimer clock;
        clock.start();
        harness.ListDatabasesOf(stallingServer);
        QVERIFY2(clock.elapsed() < 3500, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(harness.fake.toolkit.messages.size(), std::size_t{1});
        const std::string& told = harness.fake.toolkit.messages.front().text;
        QVERIFY2(told.find("The server did not answer the database list within 2 seconds") != std::string::npos,
                 told.c_str());
        QCOMPARE(harness.form.Combo("cbo_DBs").items, std::vector<std::string>{"<Database Name>"});
    }
};

}  // namespace tallyrun

QTEST_MAIN(tallyrun::DiscoveryIntegrationTest)
#include "discovery_integration_test.moc"
