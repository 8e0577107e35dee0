// The two list buttons of the main window over the fake platform: what the lists hold, what is selected and
// opened, what the user is told, and that the server object is always disconnected and released.
#include "main_window/frm_Main.h"
#include "platform/sqldmo/database_list.h"
#include "platform/sqldmo/name_list.h"
#include "tests/fixtures/fake_platform/fake_platform.h"

#include <QComboBox>
#include <QEvent>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <memory>
#include <optional>

namespace tallyrun {
namespace {

// What the scripted SQL management objects answer, and what the window did with them.
struct Script {
    std::function<std::unique_ptr<sqldmo::Object>()> listServers;
    std::vector<sqldmo::DatabaseEntry> catalog;
    std::optional<Error> connectError;
    std::optional<Error> walkError;  // raised for a database after the last of `catalog`
    std::optional<Error> disconnectError;

    int serversCreated = 0;
    int serversDestroyed = 0;
    int disconnects = 0;
    std::string connectedTo;
    bool loginSecureAtConnect = false;
};

class ScriptedApplication : public sqldmo::Application {
public:
    explicit ScriptedApplication(Script& script) : m_script(script) {}
    std::unique_ptr<sqldmo::Object> ListAvailableSQLServers() override { return m_script.listServers(); }
    void Quit() override {}

private:
    Script& m_script;
};

class BrokenDatabases : public sqldmo::DatabaseList {
public:
    BrokenDatabases(std::vector<sqldmo::DatabaseEntry> entries, Error error)
        : DatabaseList(std::move(entries)), m_error(std::move(error))
    {
    }
    std::int32_t Count() const override { return DatabaseList::Count() + 1; }
    std::unique_ptr<sqldmo::Database> Item(std::int32_t index) const override
    {
        if (index == Count())
            throw m_error;
        return DatabaseList::Item(index);
    }

private:
    Error m_error;
};

class ScriptedServer : public sqldmo::SQLServer {
public:
    explicit ScriptedServer(Script& script) : m_script(script) { ++m_script.serversCreated; }
    ~ScriptedServer() override { ++m_script.serversDestroyed; }

    void SetLoginSecure(bool secure) override { m_secure = secure; }
    bool LoginSecure() const override { return m_secure; }
    void Connect(const std::string& serverName) override
    {
        m_script.connectedTo = serverName;
        m_script.loginSecureAtConnect = m_secure;
        if (m_script.connectError)
            throw *m_script.connectError;
    }
    std::unique_ptr<sqldmo::Databases> GetDatabases() override
    {
        if (m_script.walkError)
            return std::make_unique<BrokenDatabases>(m_script.catalog, *m_script.walkError);
        return std::make_unique<sqldmo::DatabaseList>(m_script.catalog);
    }
    void Disconnect() override
    {
        ++m_script.disconnects;
        if (m_script.disconnectError)
            throw *m_script.disconnectError;
    }

private:
    Script& m_script;
    bool m_secure = false;
};

class NotANameList : public sqldmo::Object {
public:
    std::string TypeName() const override { return "Nothing"; }
};

std::unique_ptr<sqldmo::Object> Names(std::vector<std::string> names)
{
    return std::make_unique<sqldmo::StringNameList>(std::move(names));
}

class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// The window over fakes; the SQL management objects follow `script`.
struct Harness {
    fakes::FakePlatform fake;
    Script script;
    fakes::RecordingDropDown& dropDown = fake.dropDown;
    std::unique_ptr<frm_Main> window;

    explicit Harness(bool applicationAvailable = true)
    {
        fake.objects.make = [this](std::string_view progId) -> std::unique_ptr<sqldmo::Object> {
            if (progId == sqldmo::ApplicationProgId)
                return std::make_unique<ScriptedApplication>(script);
            return std::make_unique<ScriptedServer>(script);
        };
        if (!applicationAvailable)
            fake.objects.failure = Error(errc::CannotCreateObject, "SQL management objects are not installed");
        window = std::make_unique<frm_Main>(fake.platform);
        fake.objects.failure.reset();
    }

    bool Show()
    {
        window->show();
        return QTest::qWaitForWindowExposed(window.get());
    }

    QComboBox& Servers() const { return *window->findChild<QComboBox*>(QStringLiteral("cbo_Servers")); }
    QComboBox& Databases() const { return *window->findChild<QComboBox*>(QStringLiteral("cbo_DBs")); }
    void ClickListServers() const { window->findChild<QPushButton*>(QStringLiteral("cmd_ListServers"))->click(); }
    void ClickListDBs() const { window->findChild<QPushButton*>(QStringLiteral("cmd_ListDBs"))->click(); }
};

QStringList Rows(const QComboBox& combo)
{
    QStringList rows;
    for (int index = 0; index < combo.count(); ++index)
        rows.append(combo.itemText(index));
    return rows;
}

void ExpectOneMessage(const Harness& harness, const QString& text)
{
    QCOMPARE(harness.fake.messages.shown.size(), std::size_t{1});
    const auto& message = harness.fake.messages.shown.front();
    QCOMPARE(message.text, text);
    QCOMPARE(message.style, MessageStyleInformation);
    QCOMPARE(message.title, QStringLiteral("Tallyrun"));
    QCOMPARE(message.owner, static_cast<QWidget*>(harness.window.get()));
}

}  // namespace

class DiscoveryTest : public QObject {
    Q_OBJECT

private slots:
    void serverListFillsSelectsPlaceholderAndOpens();
    void serverListWithoutNamesHoldsOnlyThePlaceholder_data();
    void serverListWithoutNamesHoldsOnlyThePlaceholder();
    void serverListFailureKeepsRowsAndRestoresPointer_data();
    void serverListFailureKeepsRowsAndRestoresPointer();
    void serverListWithoutApplicationObjectFailsReadably();
    void databaseListShowsUserDatabasesInOrder();
    void databaseListFailureReleasesTheServer_data();
    void databaseListFailureReleasesTheServer();
    void selectFocusAndRepaintFailuresAreSilent();
};

void DiscoveryTest::serverListFillsSelectsPlaceholderAndOpens()
{
    Harness harness;
    QVERIFY(harness.Show());
    std::optional<int> pointerWhileListing;
    harness.script.listServers = [&] {
        pointerWhileListing = harness.window->MousePointer();
        return Names({"HOSTB", "HOSTA\\SQLEXPRESS", "hostc"});
    };
    const QStringList expected{"<Server Name>", "HOSTB", "HOSTA\\SQLEXPRESS", "hostc"};

    for (int click = 1; click <= 2; ++click) {
        harness.ClickListServers();
        QCOMPARE(Rows(harness.Servers()), expected);
        QCOMPARE(harness.Servers().currentIndex(), 0);
        QCOMPARE(harness.Servers().currentText(), QStringLiteral("<Server Name>"));
        QCOMPARE(harness.dropDown.opened.size(), std::size_t(click));
        QCOMPARE(harness.dropDown.opened.back(), &harness.Servers());
    }
    QCOMPARE(pointerWhileListing, std::optional<int>(11));
    QCOMPARE(harness.window->MousePointer(), 0);
    QVERIFY(harness.Servers().hasFocus());
    QVERIFY(harness.fake.messages.shown.empty());
}

void DiscoveryTest::serverListWithoutNamesHoldsOnlyThePlaceholder_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("no servers") << 0;
    QTest::newRow("another type") << 1;
    QTest::newRow("no object") << 2;
}

void DiscoveryTest::serverListWithoutNamesHoldsOnlyThePlaceholder()
{
    QFETCH(int, answer);
    Harness harness;
    QVERIFY(harness.Show());
    harness.script.listServers = [answer]() -> std::unique_ptr<sqldmo::Object> {
        if (answer == 0)
            return Names({});
        if (answer == 1)
            return std::make_unique<NotANameList>();
        return nullptr;
    };

    harness.ClickListServers();
    QCOMPARE(Rows(harness.Servers()), QStringList{"<Server Name>"});
    QCOMPARE(harness.Servers().currentIndex(), 0);
    QCOMPARE(harness.dropDown.opened.size(), std::size_t{1});
    QVERIFY(harness.fake.messages.shown.empty());
}

void DiscoveryTest::serverListFailureKeepsRowsAndRestoresPointer_data()
{
    QTest::addColumn<bool>("failToOpen");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("listing") << false << QStringList{"<Server Name>"};
    QTest::newRow("opening the list") << true << QStringList{"<Server Name>", "HOSTA", "HOSTB"};
}

void DiscoveryTest::serverListFailureKeepsRowsAndRestoresPointer()
{
    QFETCH(bool, failToOpen);
    QFETCH(QStringList, rows);
    Harness harness;
    QVERIFY(harness.Show());
    harness.script.listServers = [] { return Names({"OLD"}); };
    harness.ClickListServers();
    harness.dropDown.opened.clear();

    if (failToOpen) {
        harness.script.listServers = [] { return Names({"HOSTA", "HOSTB"}); };
        harness.dropDown.failure = Error(1400, "Invalid window handle.");
    } else {
        harness.script.listServers = []() -> std::unique_ptr<sqldmo::Object> {
            throw Error(-2147221504, "[SQL-DMO]Browse failed.");
        };
    }
    harness.ClickListServers();

    ExpectOneMessage(harness, failToOpen ? QStringLiteral("Invalid window handle.")
                                         : QStringLiteral("[SQL-DMO]Browse failed."));
    QCOMPARE(Rows(harness.Servers()), rows);
    QCOMPARE(harness.window->MousePointer(), 0);
    QVERIFY(harness.dropDown.opened.empty());
    if (!failToOpen)
        QCOMPARE(harness.Servers().currentIndex(), -1);
}

void DiscoveryTest::serverListWithoutApplicationObjectFailsReadably()
{
    Harness harness(false);
    harness.ClickListServers();

    QCOMPARE(harness.fake.messages.shown.size(), std::size_t{1});
    QVERIFY(harness.fake.messages.shown.front().text.contains(QStringLiteral("server list")));
    QCOMPARE(Rows(harness.Servers()), QStringList{"<Server Name>"});
    QCOMPARE(harness.window->MousePointer(), 0);
    QVERIFY(harness.dropDown.opened.empty());
}

void DiscoveryTest::databaseListShowsUserDatabasesInOrder()
{
    Harness harness;
    QVERIFY(harness.Show());
    harness.Servers().setEditText(QStringLiteral("SQLHOST\\PROD"));
    harness.script.catalog = {{"master", true}, {"Sales", false}, {"model", true}, {"Ärger", false},
                              {"distribution", true}, {"archive", false}};

    for (int click = 1; click <= 2; ++click) {
        harness.ClickListDBs();
        QCOMPARE(Rows(harness.Databases()), (QStringList{"<Database Name>", "Sales", "Ärger", "archive"}));
        QCOMPARE(harness.Databases().currentText(), QStringLiteral("<Database Name>"));
        QCOMPARE(harness.dropDown.opened.back(), &harness.Databases());
        QCOMPARE(harness.script.serversCreated, click);
        QCOMPARE(harness.script.disconnects, click);
        QCOMPARE(harness.script.serversDestroyed, click);
    }
    QCOMPARE(harness.script.connectedTo, std::string("SQLHOST\\PROD"));
    QVERIFY(harness.script.loginSecureAtConnect);
    QCOMPARE(harness.window->MousePointer(), 0);
    QVERIFY(harness.fake.messages.shown.empty());

    harness.script.catalog = {{"master", true}, {"tempdb", true}};
    harness.ClickListDBs();
    QCOMPARE(Rows(harness.Databases()), QStringList{"<Database Name>"});
    QCOMPARE(harness.Databases().currentIndex(), 0);
}

void DiscoveryTest::databaseListFailureReleasesTheServer_data()
{
    QTest::addColumn<QString>("failing");
    QTest::addColumn<int>("created");
    QTest::addColumn<int>("disconnects");
    QTest::addColumn<QStringList>("rows");
    const QStringList placeholderOnly{"<Database Name>"};
    const QStringList filled{"<Database Name>", "Sales"};
    QTest::newRow("create") << "create" << 0 << 0 << placeholderOnly;
    QTest::newRow("connect") << "connect" << 1 << 1 << placeholderOnly;
    QTest::newRow("walk") << "walk" << 1 << 1 << filled;
    QTest::newRow("disconnect") << "disconnect" << 1 << 2 << filled;
    QTest::newRow("opening the list") << "open" << 1 << 1 << filled;
}

void DiscoveryTest::databaseListFailureReleasesTheServer()
{
    QFETCH(QString, failing);
    QFETCH(int, created);
    QFETCH(int, disconnects);
    QFETCH(QStringList, rows);
    Harness harness;
    QVERIFY(harness.Show());
    harness.script.catalog = {{"master", true}, {"Sales", false}};
    const Error error(18456, "Login failed for user 'CORP\\ann'.");
    if (failing == "create")
        harness.fake.objects.failure = error;
    else if (failing == "connect")
        harness.script.connectError = error;
    else if (failing == "walk")
        harness.script.walkError = error;
    else if (failing == "disconnect")
        harness.script.disconnectError = error;
    else
        harness.dropDown.failure = error;

    harness.ClickListDBs();

    ExpectOneMessage(harness, QStringLiteral("Login failed for user 'CORP\\ann'."));
    QCOMPARE(Rows(harness.Databases()), rows);
    QCOMPARE(harness.window->MousePointer(), 0);
    QCOMPARE(harness.script.serversCreated, created);
    QCOMPARE(harness.script.disconnects, disconnects);
    QCOMPARE(harness.script.serversDestroyed, created);
    QVERIFY(harness.dropDown.opened.empty());
}

// A disabled combo box cannot take the focus; the statements around that still run, and nobody is told.
void DiscoveryTest::selectFocusAndRepaintFailuresAreSilent()
{
    Harness harness;
    QVERIFY(harness.Show());
    harness.script.listServers = [] { return Names({"HOSTA"}); };
    harness.script.catalog = {{"Sales", false}};
    PaintCounter painted;

    for (QComboBox* combo : {&harness.Servers(), &harness.Databases()}) {
        combo->setEnabled(false);
        combo->installEventFilter(&painted);
    }
    harness.ClickListServers();
    harness.ClickListDBs();

    QVERIFY(harness.fake.messages.shown.empty());
    QCOMPARE(harness.Servers().currentIndex(), 0);
    QCOMPARE(harness.Databases().currentIndex(), 0);
    QVERIFY(painted.paints >= 2);
    QCOMPARE(harness.dropDown.opened.size(), std::size_t{2});
    QCOMPARE(harness.window->MousePointer(), 0);
}

}  // namespace tallyrun

QTEST_MAIN(tallyrun::DiscoveryTest)
#include "discovery_test.moc"
