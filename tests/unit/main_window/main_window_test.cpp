// frm_Main over the fake toolkit: what the window holds at start and where it goes, the starts it refuses or fails;
// what the two list buttons fill in and tell, and that the server object is always disconnected and released.
#include "main_window/frm_Main.h"
#include "platform/sqldmo/name_list.h"
#include "tests/fixtures/fake_platform/fake_platform.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <clocale>
#include <optional>
#include <system_error>

namespace tallyrun {
namespace {

using Moves = std::vector<std::pair<double, double>>;
using Rows = std::vector<std::string>;
using Answer = std::function<std::unique_ptr<sqldmo::Object>()>;

struct MainWindow : testing::Test {
    fakes::FakePlatform fake;
    fakes::FakeObjectFactory& script = fake.objects;
    std::optional<frm_Main> window;

    fakes::FakeForm& Load()
    {
        window.emplace(fake.platform);
        return fake.toolkit.Find("frm_Main");
    }
    void ExpectMessages(const fakes::FakeForm& owner, const Rows& texts) const
    {
        ASSERT_EQ(fake.toolkit.messages.size(), texts.size());
        for (std::size_t i = 0; i < texts.size(); ++i) {
            const auto& message = fake.toolkit.messages[i];
            EXPECT_NE(message.text.find(texts[i]), std::string::npos) << message.text;
            EXPECT_EQ(message.style, ui::MessageStyleInformation);
            EXPECT_EQ(message.title, "Tallyrun");
            EXPECT_EQ(message.owner, &owner);
        }
    }
};

TEST_F(MainWindow, LoadHoldsTheApplicationObjectCentresInTheWorkAreaAndClosingQuitsItOnce)
{
    fake.toolkit.screen.workArea = {0, 0, 1000, 700};  // 15000 x 10500 twips
    fakes::FakeForm& form = Load();

    EXPECT_EQ(script.progIds, std::vector<std::string>{"SQLDMO.Application.8.0"});
    EXPECT_EQ(form.moves, (Moves{{(15000 - 6030) / 2.0, (10500 - 2145) / 2.0}}));
    EXPECT_EQ(form.Combo("cbo_Servers").text, "<Server Name>");
    EXPECT_EQ(form.Combo("cbo_DBs").text, "<Database Name>");
    window->Show();
    EXPECT_TRUE(form.visible);
    EXPECT_TRUE(form.RequestClose());
    EXPECT_TRUE(form.RequestClose());
    window.reset();
    EXPECT_EQ(script.quitCalls, 1);

    // A work area beyond twips: load cannot centre the window, and opens it all the same.
    fake.toolkit.screen.workArea = {0, 0, 200'000'000, 700};
    EXPECT_TRUE(Load().moves.empty());
    EXPECT_TRUE(fake.toolkit.messages.empty());
}

TEST_F(MainWindow, RefusedAndFailedStartsAreExplainedWithoutADialog)
{
    const std::string notFound = "Cannot start \"osql\": no program of that name was found on the search path.";
    fakes::FakeForm& form = Load();
    form.Combo("cbo_DBs").text = "Sales";
    form.Button("cmd_Tallyrun").Click();
    form.Combo("cbo_Servers").text = "SRV1";
    form.Combo("cbo_DBs").text = "Sa\"les";
    form.Button("cmd_Tallyrun").Click();
    EXPECT_TRUE(fake.launcher.lines.empty()) << "a name the command line cannot carry reached the launcher";

    form.Combo("cbo_DBs").text = "Sales";
    fake.launcher.failure = std::make_exception_ptr(Error(ENOENT, notFound));
    form.Button("cmd_Tallyrun").Click();
    // Raised by the standard library, as when the thread that reads the client's output cannot be started.
    fake.launcher.failure = std::make_exception_ptr(
        std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again), "Cannot read the client"));
    form.Button("cmd_Tallyrun").Click();

    EXPECT_EQ(fake.launcher.lines.size(), 2u);
    ExpectMessages(form, {"\"<Server Name>\" is not a server name", "\"Database Name\"", notFound,
                          "Cannot read the client"});
    EXPECT_EQ(fake.toolkit.formsMade, 1);
}

TEST_F(MainWindow, ARunWaitsInADialogCentredOverTheWindowAndAFailureIsToldOnceTheDialogHasGone)
{
    fakes::FakeForm& form = Load();
    form.Combo("cbo_Servers").text = "SRV1";
    fake.launcher.outcome = ClientOutcome{ClientOutcome::End::Exited, 1, "Msg 2520, Level 16\nNo such database.\n"};
    fake.toolkit.whileModal = [&](fakes::FakeForm& dialog) {
        EXPECT_EQ(dialog.owner, &form);
        ASSERT_EQ(dialog.moves.size(), 1u);
        EXPECT_EQ(dialog.left + dialog.Width() / 2, form.left + form.Width() / 2);
        EXPECT_EQ(dialog.top + dialog.Height() / 2, form.top + form.Height() / 2);
        dialog.timers.at(0)->Tick();
    };
    fake.toolkit.whileMessage = [&] { EXPECT_EQ(fake.toolkit.forms, std::vector<fakes::FakeForm*>{&form}); };
    form.Button("cmd_Tallyrun").Click();
    EXPECT_EQ(fake.processes.asked, std::vector<std::int32_t>{fake.launcher.processId});
    ExpectMessages(form, {"No such database."});
}

struct NotANameList : sqldmo::Object {
    std::string TypeName() const override { return "Nothing"; }
};

Answer Names(std::vector<std::string> names)
{
    return [names] { return std::make_unique<sqldmo::StringNameList>(names); };
}

struct Discovery : MainWindow {
    fakes::FakeForm& form = Load();

    Discovery() { form.pointers.clear(); }
    fakes::FakeComboBox& Servers() const { return form.Combo("cbo_Servers"); }
    fakes::FakeComboBox& Databases() const { return form.Combo("cbo_DBs"); }
    void ClickListServers() const { form.Button("cmd_ListServers").Click(); }
    void ClickListDBs() const { form.Button("cmd_ListDBs").Click(); }

    // The hourglass went up first and came down last, and the user was told `texts` (nothing when empty).
    void ExpectPointerRestoredAndTold(const Rows& texts = {}) const
    {
        ASSERT_GE(form.pointers.size(), 2u);
        EXPECT_EQ(form.pointers.front(), ui::PointerHourglass);
        EXPECT_EQ(form.pointers.back(), ui::PointerDefault);
        ExpectMessages(form, texts);
    }
};

TEST_F(Discovery, ServerListFillsOnceEachClickAndKeepsWhatWasAddedWhenItFails)
{
    script.listServers = Names({"HOSTB", "HOSTA\\SQLEXPRESS", "hostc"});
    for (int click = 1; click <= 2; ++click) {
        ClickListServers();
        EXPECT_EQ(Servers().items, (Rows{"<Server Name>", "HOSTB", "HOSTA\\SQLEXPRESS", "hostc"}));
        EXPECT_EQ(Servers().text, "<Server Name>");
        EXPECT_EQ(Servers().dropDowns, click);
    }
    // An answer of another type, and no answer at all.
    for (const Answer& answer : {Answer([] { return std::make_unique<NotANameList>(); }), Answer([] { return nullptr; })}) {
        script.listServers = answer;
        ClickListServers();
        EXPECT_EQ(Servers().items, Rows{"<Server Name>"});
        EXPECT_EQ(Servers().listIndex, 0);
    }
    script.listServers = []() -> std::unique_ptr<sqldmo::Object> { throw Error(-2147221504, "[SQL-DMO]Browse failed."); };
    ClickListServers();
    EXPECT_EQ(Servers().items, Rows{"<Server Name>"});
    EXPECT_EQ(Servers().listIndex, -1);
    EXPECT_EQ(Servers().dropDowns, 4);
    ExpectPointerRestoredAndTold({"[SQL-DMO]Browse failed."});
}

// Qt takes the locale from the environment; in Turkish the C library upper-cases "i" to no "I" at all.
TEST_F(Discovery, ServerListIsReadUnderATurkishLocale)
{
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "tr_TR.UTF-8"))
        GTEST_SKIP() << "no tr_TR.UTF-8 locale (scripts/install-deps makes it)";
    script.listServers = Names({"HOSTB"});
    ClickListServers();
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(Servers().items, (Rows{"<Server Name>", "HOSTB"}));
}

TEST_F(Discovery, DatabaseListShowsTheUserDatabasesInOrder)
{
    Servers().text = "SQLHOST\\PROD";
    script.catalog = {{"Sales", false}, {"master", true}, {"model", true}, {"Ärger", false},
                      {"distribution", true}, {"archive", false}};
    for (int click = 1; click <= 2; ++click) {
        ClickListDBs();
        EXPECT_EQ(Databases().items, (Rows{"<Database Name>", "Sales", "Ärger", "archive"}));
        EXPECT_EQ(Databases().text, "<Database Name>");
        EXPECT_EQ(Databases().dropDowns, click);
        EXPECT_EQ(script.disconnects, click);
        EXPECT_EQ(script.serversDestroyed, click);
    }
    EXPECT_EQ(script.connectedTo, "SQLHOST\\PROD");
    EXPECT_TRUE(script.loginSecureAtConnect);
    ExpectPointerRestoredAndTold();
}

TEST_F(Discovery, DatabaseListFailuresAreToldAndTheServerIsAlwaysReleased)
{
    struct Case {
        std::optional<Error>* failing;
        int created, disconnects;
        Rows rows;
    };
    for (const Case& c : {Case{&script.failure, 0, 0, {"<Database Name>"}},
                          Case{&script.connectError, 1, 1, {"<Database Name>"}},
                          Case{&script.disconnectError, 1, 2, {"<Database Name>", "Sales"}}}) {
        script.serversCreated = script.serversDestroyed = script.disconnects = 0;
        fake.toolkit.messages.clear();
        script.catalog = {{"master", true}, {"Sales", false}};
        *c.failing = Error(18456, "Login failed for user 'CORP\\ann'.");
        fake.toolkit.whileMessage = [this, created = c.created] {
            EXPECT_EQ(script.serversDestroyed, created) << "told before release";
        };
        ClickListDBs();
        c.failing->reset();

        SCOPED_TRACE(c.created);
        ExpectPointerRestoredAndTold({"Login failed for user 'CORP\\ann'."});
        EXPECT_EQ(Databases().items, c.rows);
        EXPECT_EQ(script.serversCreated, c.created);
        EXPECT_EQ(script.disconnects, c.disconnects);
        EXPECT_EQ(script.serversDestroyed, c.created);
        EXPECT_EQ(Databases().dropDowns, 0);
    }
}

// Selecting, focusing and repainting only dress the filled list: a failure there is dropped. Opening it is not.
TEST_F(Discovery, TheListOpensThoughItCannotBeSelectedFocusedOrRepaintedAndAFailedOpeningIsTold)
{
    script.catalog = {{"Sales", false}};
    for (const std::string call : {"SetListIndex", "SetFocus", "Refresh", ""}) {
        SCOPED_TRACE(call);
        Databases().raises = call;
        const int opened = Databases().dropDowns, focused = Databases().focuses, repainted = Databases().refreshes,
                  refreshed = form.refreshes;
        ClickListDBs();
        EXPECT_EQ(Databases().dropDowns, opened + 1);
        EXPECT_EQ(Databases().focuses, focused + (call != "SetFocus"));
        EXPECT_EQ(Databases().refreshes, repainted + (call != "Refresh"));
        EXPECT_EQ(form.refreshes, refreshed + 1);
    }
    ExpectPointerRestoredAndTold();
    Databases().raises = "ShowDropDown";
    ClickListDBs();
    EXPECT_EQ(Databases().items, (Rows{"<Database Name>", "Sales"}));
    EXPECT_EQ(script.disconnects, 5) << "disconnected again after the list failed to open";
    ExpectPointerRestoredAndTold({"ShowDropDown failed"});
}

}  // namespace
}  // namespace tallyrun
