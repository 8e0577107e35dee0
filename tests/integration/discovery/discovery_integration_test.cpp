// The database list button over the real server object, FreeTDS and the SQL Server stand-in. Everything else the
// window reaches is faked; nothing leaves the loopback interface.
#include "main_window/frm_Main.h"
#include "platform/sqldmo/system_objects.h"
#include "tds_standin.h"
#include "tests/fixtures/fake_platform/fake_platform.h"

#include <QElapsedTimer>
#include <QTest>

#include <cstdio>
#include <memory>

namespace tallyrun {
namespace {

using testing::CatalogDatabase;
using testing::TdsStandIn;

struct Harness {
    fakes::FakePlatform fake;
    sqldmo::SystemObjectFactory objects;
    Platform platform{objects, fake.launcher, fake.processes, fake.toolkit};
    std::unique_ptr<frm_Main> window;
    fakes::FakeForm& form;

    explicit Harness(std::chrono::seconds queryTimeout = std::chrono::seconds(30))
        : objects(Settings(queryTimeout)), window(std::make_unique<frm_Main>(platform)),
          form(fake.toolkit.Find("frm_Main"))
    {
        window->Show();
    }

    static sqldmo::SystemObjectSettings Settings(std::chrono::seconds queryTimeout)
    {
        sqldmo::SystemObjectSettings settings;
        settings.server.queryTimeout = queryTimeout;
        // These tests never list servers; were one to, it would ask nobody.
        settings.serverListing = [] { return std::vector<std::string>{}; };
        settings.server.driver = odbc::Driver{odbc::DriverKind::FreeTds, odbc::FreeTdsDebianLibrary};
        return settings;
    }

    fakes::FakeComboBox& Databases() const { return form.Combo("cbo_DBs"); }
    void ListDatabasesOf(const TdsStandIn& server) const
    {
        form.Combo("cbo_Servers").text = "localhost," + std::to_string(server.Port());
        form.Button("cmd_ListDBs").Click();
    }
    QString Messages() const
    {
        QStringList texts;
        for (const auto& message : fake.toolkit.messages)
            texts.append(QString::fromStdString(message.text));
        return texts.join(QLatin1Char('\n'));
    }
};

QStringList Rows(const fakes::FakeComboBox& combo)
{
    QStringList rows;
    for (const std::string& item : combo.items)
        rows.append(QString::fromStdString(item));
    return rows;
}

}  // namespace

class DiscoveryIntegrationTest : public QObject {
    Q_OBJECT

private slots:
    void listsTheUserDatabasesInOrderWithOneQuery();
    void listsTheLargestNumberOfDatabases();
    void givesUpOnAListTheServerNeverAnswers();
};

void DiscoveryIntegrationTest::listsTheUserDatabasesInOrderWithOneQuery()
{
    TdsStandIn server;
    server.SetCatalog({{"Archive", false}, {"distribution", true}, {"master", true}, {"model", true},
                       {"msdb", true}, {"Sales", false}, {"tempdb", true}, {"Ünïcødé 販売", false}});
    Harness harness;

    harness.ListDatabasesOf(server);

    QCOMPARE(harness.Messages(), QString());
    QCOMPARE(Rows(harness.Databases()), (QStringList{"<Database Name>", "Archive", "Sales", "Ünïcødé 販売"}));
    QCOMPARE(harness.Databases().listIndex, 0);
    QCOMPARE(harness.Databases().dropDowns, 1);
    QCOMPARE(harness.form.MousePointer(), 0);
    QCOMPARE(server.SuccessfulLogins(), 1);
    const auto batches = server.Batches();
    QCOMPARE(batches.size(), std::size_t{1});
    QCOMPARE(batches.front(), std::string(sqldmo::DatabaseCatalogQuery));
}

void DiscoveryIntegrationTest::listsTheLargestNumberOfDatabases()
{
    constexpr int Count = 32'767;
    std::vector<CatalogDatabase> catalog{{"master", true}, {"model", true}, {"msdb", true}, {"tempdb", true}};
    for (int number = 1; number <= Count; ++number) {
        char name[16];
        std::snprintf(name, sizeof name, "db%05d", number);
        catalog.push_back({name, false});
    }
    TdsStandIn server;
    server.SetCatalog(std::move(catalog));
    Harness harness;

    harness.ListDatabasesOf(server);

    QCOMPARE(harness.Messages(), QString());
    QCOMPARE(harness.Databases().ListCount(), Count + 1);
    QCOMPARE(harness.Databases().List(1), std::string("db00001"));
    QCOMPARE(harness.Databases().List(Count), std::string("db32767"));
}

void DiscoveryIntegrationTest::givesUpOnAListTheServerNeverAnswers()
{
    TdsStandIn::Options stalling;
    stalling.afterBatch = TdsStandIn::AfterBatch::Stall;
    TdsStandIn stallingServer(stalling);
    Harness harness(std::chrono::seconds(2));
    QElapsedTimer clock;
    clock.start();
    harness.ListDatabasesOf(stallingServer);
    QVERIFY2(clock.elapsed() < 3500, qPrintable(QString::number(clock.elapsed())));
    QVERIFY2(harness.Messages().contains(
                 QStringLiteral("The server did not answer the database list within 2 seconds")),
             qPrintable(harness.Messages()));
    QCOMPARE(Rows(harness.Databases()), QStringList{"<Database Name>"});
    QCOMPARE(harness.form.MousePointer(), 0);
}

}  // namespace tallyrun

QTEST_MAIN(tallyrun::DiscoveryIntegrationTest)
#include "discovery_integration_test.moc"
