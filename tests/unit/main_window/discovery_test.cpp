// The two list buttons over the fake toolkit and scripted SQL management objects: what the lists hold, what is
// selected and opened, what the user is told, and that the server object is always disconnected and released.
#include "main_window/frm_Main.h"
#include "platform/sqldmo/name_list.h"
#include "tests/fixtures/fake_platform/fake_platform.h"

#include <gtest/gtest.h>

#include <optional>

namespace tallyrun {
namespace {

using Rows = std::vector<std::string>;
using Answer = std::function<std::unique_ptr<sqldmo::Object>()>;

struct NotANameList : sqldmo::Object {
    std::string TypeName() const override { return "Nothing"; }
};

Answer Names(std::vector<std::string> names)
{
    return [names] { return std::make_unique<sqldmo::StringNameList>(names); };
}

struct Discovery : testing::Test {
    fakes::FakePlatform fake;
    fakes::FakeObjectFactory& script = fake.objects;
    std::optional<frm_Main> window;
    fakes::FakeForm* form = nullptr;

    void Load()
    {
        window.emplace(fake.platform);
        script.failure.reset();
        form = &fake.toolkit.Find("frm_Main");
        form->pointers.clear();
    }
    void SetUp() override { Load(); }

    fakes::FakeComboBox& Servers() const { return form->Combo("cbo_Servers"); }
    fakes::FakeComboBox& Databases() const { return form->Combo("cbo_DBs"); }
    void ClickListServers() const { form->Button("cmd_ListServers").Click(); }
    void ClickListDBs() const { form->Button("cmd_ListDBs").Click(); }

    // The hourglass went up first and came down last, and the user was told `texts` (nothing when empty).
    void ExpectPointerRestoredAndTold(const Rows& texts = {}) const
    {
        ASSERT_GE(form->pointers.size(), 2u);
        EXPECT_EQ(form->pointers.front(), ui::PointerHourglass);
        EXPECT_EQ(form->pointers.back(), ui::PointerDefault);
        ASSERT_EQ(fake.toolkit.messages.size(), texts.size());
        for (std::size_t i = 0; i < texts.size(); ++i) {
            EXPECT_NE(fake.toolkit.messages[i].text.find(texts[i]), std::string::npos);
            EXPECT_EQ(fake.toolkit.messages[i].style, ui::MessageStyleInformation);
            EXPECT_EQ(fake.toolkit.messages[i].title, "Tallyrun");
            EXPECT_EQ(fake.toolkit.messages[i].owner, form);
        }
    }
};

TEST_F(Discovery, ServerListFillsSelectsThePlaceholderAndOpensWhateverTheAnswer)
{
    script.listServers = Names({"HOSTB", "HOSTA\\SQLEXPRESS", "hostc"});
    for (int click = 1; click <= 2; ++click) {
        ClickListServers();
        EXPECT_EQ(Servers().items, (Rows{"<Server Name>", "HOSTB", "HOSTA\\SQLEXPRESS", "hostc"}));
        EXPECT_EQ(Servers().text, "<Server Name>");
        EXPECT_EQ(Servers().dropDowns, click);
    }
    EXPECT_TRUE(Servers().focused);
    EXPECT_EQ(Servers().refreshes, 2);
    EXPECT_EQ(form->refreshes, 2);
    // No servers, an answer of another type, and no answer at all.
    for (const Answer& answer : {Names({}), Answer([] { return std::make_unique<NotANameList>(); }),
                                 Answer([] { return nullptr; })}) {
        script.listServers = answer;
        ClickListServers();
        EXPECT_EQ(Servers().items, Rows{"<Server Name>"});
        EXPECT_EQ(Servers().listIndex, 0);
    }
    EXPECT_EQ(Servers().dropDowns, 5);
    ExpectPointerRestoredAndTold();
}

TEST_F(Discovery, ServerListFailuresKeepTheRowsAddedAndAreTold)
{
    script.listServers = Names({"OLD"});
    ClickListServers();
    script.listServers = []() -> std::unique_ptr<sqldmo::Object> { throw Error(-2147221504, "[SQL-DMO]Browse failed."); };
    ClickListServers();
    EXPECT_EQ(Servers().items, Rows{"<Server Name>"});
    EXPECT_EQ(Servers().listIndex, -1);
    EXPECT_EQ(Servers().dropDowns, 1);

    // Opening the list is guarded too: its failure is told although the list was filled.
    script.listServers = Names({"HOSTA", "HOSTB"});
    Servers().dropDownFailure = Error(1400, "Invalid window handle.");
    ClickListServers();
    EXPECT_EQ(Servers().items, (Rows{"<Server Name>", "HOSTA", "HOSTB"}));
    ExpectPointerRestoredAndTold({"[SQL-DMO]Browse failed.", "Invalid window handle."});

    fake.toolkit.messages.clear();
    script.failure = Error(errc::CannotCreateObject, "SQL management objects are not installed");
    Load();
    ClickListServers();
    EXPECT_EQ(Servers().items, Rows{"<Server Name>"});
    EXPECT_EQ(Servers().dropDowns, 0);
    ExpectPointerRestoredAndTold({"server list"});
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
    ExpectPointerRestoredAndTold();
}

TEST_F(Discovery, DatabaseListFailuresAreToldAndTheServerIsAlwaysReleased)
{
    struct Case {
        std::string failing;
        int created, disconnects;
        Rows rows;
    };
    const Rows placeholderOnly{"<Database Name>"};
    const Rows filled{"<Database Name>", "Sales"};
    for (const Case& c : {Case{"create", 0, 0, placeholderOnly}, Case{"connect", 1, 1, placeholderOnly},
                          Case{"walk", 1, 1, filled}, Case{"disconnect", 1, 2, filled}, Case{"open", 1, 1, filled}}) {
        SCOPED_TRACE(c.failing);
        script.serversCreated = script.serversDestroyed = script.disconnects = 0;
        fake.toolkit.messages.clear();
        script.catalog = {{"master", true}, {"Sales", false}};
        const Error error(18456, "Login failed for user 'CORP\\ann'.");
        (c.failing == "create" ? script.failure
         : c.failing == "connect" ? script.connectError
         : c.failing == "walk" ? script.walkError
         : c.failing == "disconnect" ? script.disconnectError
                                     : Databases().dropDownFailure) = error;

        ClickListDBs();
        script.failure = script.connectError = script.walkError = script.disconnectError = std::nullopt;
        Databases().dropDownFailure.reset();

        ExpectPointerRestoredAndTold({"Login failed for user 'CORP\\ann'."});
        EXPECT_EQ(Databases().items, c.rows);
        EXPECT_EQ(script.serversCreated, c.created);
        EXPECT_EQ(script.disconnects, c.disconnects);
        EXPECT_EQ(script.serversDestroyed, c.created);
        EXPECT_EQ(Databases().dropDowns, 0);
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
    for (const fakes::FakeComboBox* combo : {&Servers(), &Databases()}) {
        EXPECT_EQ(combo->listIndex, 0);
        EXPECT_EQ(combo->refreshes, 1);
        EXPECT_EQ(combo->dropDowns, 1);
    }
    ExpectPointerRestoredAndTold();
}

}  // namespace
}  // namespace tallyrun
