// The database list button over the real server object, FreeTDS and the SQL Server stand-in. Everything else the
// window reaches is faked; nothing leaves the loopback interface.
#include "main_window/frm_Main.h"
#include "platform/sqldmo/system_objects.h"
#include "tds_standin.h"
#include "tests/fixtures/fake_platform/fake_platform.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
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
    Platform platform{objects, fake.screen, fake.launcher, fake.processes, fake.messages, fake.dropDown};
    std::unique_ptr<frm_Main> window;

    explicit Harness(std::chrono::seconds queryTimeout = std::chrono::seconds(30))
        : objects(Settings(queryTimeout)), window(std::make_unique<frm_Main>(platform))
    {
        window->show();
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

    QComboBox& Servers() const { return *window->findChild<QComboBox*>(QStringLiteral("cbo_Servers")); }
    QComboBox& Databases() const { return *window->findChild<QComboBox*>(QStringLiteral("cbo_DBs")); }
    void ListDatabasesOf(const TdsStandIn& server) const
    {
        Servers().setEditText(QStringLiteral("localhost,%1").arg(server.Port()));
        ClickListDBs();
    }
    void ClickListDBs() const { window->findChild<QPushButton*>(QStringLiteral("cmd_ListDBs"))->click(); }
    QString Messages() const
    {
        QStringList texts;
        for (const auto& message : fake.messages.shown)
            texts.append(message.text);
        return texts.join(QLatin1Char('\n'));
    }
};

QStringList Rows(const QComboBox& combo)
{
    QStringList rows;
    for (int index = 0; index < combo.count(); ++index)
        rows.append(combo.itemText(index));
    return rows;
}

}  // namespace

class DiscoveryIntegrationTest : public QObject {
    Q_OBJECT

private slots:
    void listsTheUserDatabasesInOrderWithOneQuery();
    void placeholderServerFailsAtConnectReadably();
    void listsTheLargestNumberOfDatabases();
    void namesWhatBecameOfAListTheServerNeverAnswered();
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
    QCOMPARE(harness.Databases().currentIndex(), 0);
    QCOMPARE(harness.fake.dropDown.opened.size(), std::size_t{1});
    QCOMPARE(harness.window->MousePointer(), 0);
    QCOMPARE(server.SuccessfulLogins(), 1);
    const auto batches = server.Batches();
    QCOMPARE(batches.size(), std::size_t{1});
    QCOMPARE(batches.front(), std::string(sqldmo::DatabaseCatalogQuery));
}

void DiscoveryIntegrationTest::placeholderServerFailsAtConnectReadably()
{
    Harness harness;
    QCOMPARE(harness.Servers().currentText(), QStringLiteral("<Server Name>"));

    harness.ClickListDBs();

    QCOMPARE(harness.fake.messages.shown.size(), std::size_t{1});
    QVERIFY2(harness.Messages().contains(QStringLiteral("\"<Server Name>\" is not a server name")),
             qPrintable(harness.Messages()));
    QCOMPARE(Rows(harness.Databases()), QStringList{"<Database Name>"});
    QCOMPARE(harness.window->MousePointer(), 0);
    QVERIFY(harness.fake.dropDown.opened.empty());
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
    QCOMPARE(harness.Databases().count(), Count + 1);
    QCOMPARE(harness.Databases().itemText(1), QStringLiteral("db00001"));
    QCOMPARE(harness.Databases().itemText(Count), QStringLiteral("db32767"));
}

void DiscoveryIntegrationTest::namesWhatBecameOfAListTheServerNeverAnswered()
{
    TdsStandIn::Options closing;
    closing.afterBatch = TdsStandIn::AfterBatch::Close;
    TdsStandIn closingServer(closing);
    Harness harness(std::chrono::seconds(2));

    harness.ListDatabasesOf(closingServer);
    QVERIFY2(harness.Messages().contains(QStringLiteral("The connection to the server was lost")),
             qPrintable(harness.Messages()));

    TdsStandIn::Options stalling;
    stalling.afterBatch = TdsStandIn::AfterBatch::Stall;
    TdsStandIn stallingServer(stalling);
    harness.fake.messages.shown.clear();
    QElapsedTimer clock;
    clock.start();
    harness.ListDatabasesOf(stallingServer);
    QVERIFY2(clock.elapsed() < 3500, qPrintable(QString::number(clock.elapsed())));
    QVERIFY2(harness.Messages().contains(
                 QStringLiteral("The server did not answer the database list within 2 seconds")),
             qPrintable(harness.Messages()));
    QCOMPARE(Rows(harness.Databases()), QStringList{"<Database Name>"});
    QCOMPARE(harness.window->MousePointer(), 0);
}

}  // namespace tallyrun

QTEST_MAIN(tallyrun::DiscoveryIntegrationTest)
#include "discovery_integration_test.moc"
