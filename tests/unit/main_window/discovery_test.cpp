// The two list buttons over the fake toolkit and scripted SQL management objects: what the lists hold, what is
// selected and opened, what the user is told, and that the server object is always disconnected and released.
#include "main_window/frm_Main.h"
#include "platform/sqldmo/database_list.h"
#include "platform/sqldmo/name_list.h"
#include "tests/fixtures/fake_platform/fake_platform.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>

namespace tallyrun {
namespace {

using Rows = std::vector<std::string>;

// What the scripted SQL management objects answer, and what the window did with them.
struct Script {
    std::function<std::unique_ptr<sqldmo::Object>()> listServers = [] { return nullptr; };
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

std::function<std::unique_ptr<sqldmo::Object>()> Names(std::vector<std::string> names)
{
    return [names] { return std::make_unique<sqldmo::StringNameList>(names); };
}

// The window over fakes; the SQL management objects follow `script`.
struct Discovery : testing::Test {
    fakes::FakePlatform fake;
    Script script;
    std::optional<frm_Main> window;
    fakes::FakeForm* form = nullptr;

    void Load(bool applicationAvailable = true)
    {
        fake.objects.make = [this](std::string_view progId) -> std::unique_ptr<sqldmo::Object> {
            if (progId == sqldmo::ApplicationProgId)
                return std::make_unique<ScriptedApplication>(script);
            return std::make_unique<ScriptedServer>(script);
        };
        if (!applicationAvailable)
            fake.objects.failure = Error(errc::CannotCreateObject, "SQL management objects are not installed");
        window.emplace(fake.platform);
        fake.objects.failure.reset();
        form = &fake.toolkit.Find("frm_Main");
        form->pointers.clear();
    }
    void SetUp() override { Load(); }

    fakes::FakeComboBox& Servers() const { return form->Combo("cbo_Servers"); }
    fakes::FakeComboBox& Databases() const { return form->Combo("cbo_DBs"); }
    void ClickListServers() const { form->Button("cmd_ListServers").Click(); }
    void ClickListDBs() const { form->Button("cmd_ListDBs").Click(); }

    // The hourglass went up first and came down last.
    void ExpectPointerRestored() const
    {
        ASSERT_GE(form->pointers.size(), 2u);
        EXPECT_EQ(form->pointers.front(), ui::PointerHourglass);
        EXPECT_EQ(form->pointers.back(), ui::PointerDefault);
    }
    void ExpectOneMessage(const std::string& text) const
    {
        ASSERT_EQ(fake.toolkit.messages.size(), 1u);
        EXPECT_EQ(fake.toolkit.messages[0].text, text);
        EXPECT_EQ(fake.toolkit.messages[0].style, ui::MessageStyleInformation);
        EXPECT_EQ(fake.toolkit.messages[0].title, "Tallyrun");
        EXPECT_EQ(fake.toolkit.messages[0].owner, form);
    }
};

TEST_F(Discovery, ServerListFillsSelectsThePlaceholderAndOpens)
{
    std::optional<int> pointerWhileListing;
    script.listServers = [&, names = Names({"HOSTB", "HOSTA\\SQLEXPRESS", "hostc"})] {
        pointerWhileListing = form->MousePointer();
        return names();
    };
    for (int click = 1; click <= 2; ++click) {
        ClickListServers();
        EXPECT_EQ(Servers().items, (Rows{"<Server Name>", "HOSTB", "HOSTA\\SQLEXPRESS", "hostc"}));
        EXPECT_EQ(Servers().listIndex, 0);
        EXPECT_EQ(Servers().text, "<Server Name>");
        EXPECT_EQ(Servers().dropDowns, click);
    }
    EXPECT_EQ(pointerWhileListing, ui::PointerHourglass);
    ExpectPointerRestored();
    EXPECT_TRUE(Servers().focused);
    EXPECT_EQ(Servers().refreshes, 2);
    EXPECT_EQ(form->refreshes, 2);
    EXPECT_TRUE(fake.toolkit.messages.empty());
}

// No servers, an answer of another type, and no answer at all.
TEST_F(Discovery, ServerListWithoutNamesHoldsOnlyThePlaceholder)
{
    for (const auto& answer : {Names({}), std::function<std::unique_ptr<sqldmo::Object>()>(
                                              [] { return std::make_unique<NotANameList>(); }),
                               std::function<std::unique_ptr<sqldmo::Object>()>([] { return nullptr; })}) {
        script.listServers = answer;
        Servers().dropDowns = 0;
        ClickListServers();
        EXPECT_EQ(Servers().items, Rows{"<Server Name>"});
        EXPECT_EQ(Servers().listIndex, 0);
        EXPECT_EQ(Servers().dropDowns, 1);
    }
    EXPECT_TRUE(fake.toolkit.messages.empty());
}

TEST_F(Discovery, ServerListFailuresKeepTheRowsAddedAndRestoreThePointer)
{
    script.listServers = Names({"OLD"});
    ClickListServers();
    script.listServers = []() -> std::unique_ptr<sqldmo::Object> { throw Error(-2147221504, "[SQL-DMO]Browse failed."); };
    ClickListServers();
    ExpectOneMessage("[SQL-DMO]Browse failed.");
    EXPECT_EQ(Servers().items, Rows{"<Server Name>"});
    EXPECT_EQ(Servers().listIndex, -1);
    EXPECT_EQ(Servers().dropDowns, 1);
    ExpectPointerRestored();

    // Opening the list is guarded too: its failure is told although the list was filled.
    fake.toolkit.messages.clear();
    script.listServers = Names({"HOSTA", "HOSTB"});
    Servers().dropDownFailure = Error(1400, "Invalid window handle.");
    ClickListServers();
    ExpectOneMessage("Invalid window handle.");
    EXPECT_EQ(Servers().items, (Rows{"<Server Name>", "HOSTA", "HOSTB"}));
    ExpectPointerRestored();
}

TEST_F(Discovery, ServerListWithoutApplicationObjectFailsReadably)
{
    Load(false);
    ClickListServers();
    ASSERT_EQ(fake.toolkit.messages.size(), 1u);
    EXPECT_NE(fake.toolkit.messages[0].text.find("server list"), std::string::npos);
    EXPECT_EQ(Servers().items, Rows{"<Server Name>"});
    EXPECT_EQ(Servers().dropDowns, 0);
    ExpectPointerRestored();
}

TEST_F(Discovery, DatabaseListShowsTheUserDatabasesInOrder)
{
    Servers().text = "SQLHOST\\PROD";
    script.catalog = {{"master", true}, {"Sales", false}, {"model", true}, {"Ärger", false},
                      {"distribution", true}, {"archive", false}};
    for (int click = 1; click <= 2; ++click) {
        ClickListDBs();
        EXPECT_EQ(Databases().items, (Rows{"<Database Name>", "Sales", "Ärger", "archive"}));
        EXPECT_EQ(Databases().text, "<Database Name>");
        EXPECT_EQ(Databases().dropDowns, click);
        EXPECT_EQ(script.serversCreated, click);
        EXPECT_EQ(script.disconnects, click);
        EXPECT_EQ(script.serversDestroyed, click);
    }
    EXPECT_EQ(script.connectedTo, "SQLHOST\\PROD");
    EXPECT_TRUE(script.loginSecureAtConnect);
    EXPECT_TRUE(Databases().focused);
    ExpectPointerRestored();
    EXPECT_TRUE(fake.toolkit.messages.empty());

    script.catalog = {{"master", true}, {"tempdb", true}};
    ClickListDBs();
    EXPECT_EQ(Databases().items, Rows{"<Database Name>"});
    EXPECT_EQ(Databases().listIndex, 0);
}

TEST_F(Discovery, DatabaseListFailuresAreToldAndTheServerIsAlwaysReleased)
{
    struct Case {
        const char* failing;
        int created, disconnects;
        Rows rows;
    };
    const Rows placeholderOnly{"<Database Name>"};
    const Rows filled{"<Database Name>", "Sales"};
    for (const Case& c : {Case{"create", 0, 0, placeholderOnly}, Case{"connect", 1, 1, placeholderOnly},
                          Case{"walk", 1, 1, filled}, Case{"disconnect", 1, 2, filled}, Case{"open", 1, 1, filled}}) {
        SCOPED_TRACE(c.failing);
        script = Script{};
        fake.toolkit.messages.clear();
        script.catalog = {{"master", true}, {"Sales", false}};
        const Error error(18456, "Login failed for user 'CORP\\ann'.");
        const std::string failing = c.failing;
        if (failing == "create")
            fake.objects.failure = error;
        else if (failing == "connect")
            script.connectError = error;
        else if (failing == "walk")
            script.walkError = error;
        else if (failing == "disconnect")
            script.disconnectError = error;
        Databases().dropDownFailure.reset();
        if (failing == "open")
            Databases().dropDownFailure = error;

        ClickListDBs();
        fake.objects.failure.reset();

        ExpectOneMessage("Login failed for user 'CORP\\ann'.");
        EXPECT_EQ(Databases().items, c.rows);
        EXPECT_EQ(script.serversCreated, c.created);
        EXPECT_EQ(script.disconnects, c.disconnects);
        EXPECT_EQ(script.serversDestroyed, c.created);
        EXPECT_EQ(Databases().dropDowns, 0);
        ExpectPointerRestored();
    }
}

// A disabled combo box cannot take the focus; the statements around that still run, and nobody is told.
TEST_F(Discovery, SelectFocusAndRepaintFailuresAreSilent)
{
    script.listServers = Names({"HOSTA"});
    script.catalog = {{"Sales", false}};
    Servers().enabled = Databases().enabled = false;
    ClickListServers();
    ClickListDBs();

    EXPECT_TRUE(fake.toolkit.messages.empty());
    for (const fakes::FakeComboBox* combo : {&Servers(), &Databases()}) {
        EXPECT_EQ(combo->listIndex, 0);
        EXPECT_EQ(combo->refreshes, 1);
        EXPECT_EQ(combo->dropDowns, 1);
    }
    ExpectPointerRestored();
}

}  // namespace
}  // namespace tallyrun
