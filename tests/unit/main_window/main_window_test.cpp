// frm_Main's load, unload and run button over the fake toolkit: what the window holds at start, where it goes,
// what the client is started with, the dialog that waits for it, and what is said once it has ended.
#include "main_window/frm_Main.h"
#include "tests/fixtures/fake_platform/fake_platform.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <optional>

namespace tallyrun {
namespace {

using Moves = std::vector<std::pair<double, double>>;

struct MainWindow : testing::Test {
    fakes::FakePlatform fake;
    std::optional<frm_Main> window;

    fakes::FakeForm& Load()
    {
        window.emplace(fake.platform);
        return fake.toolkit.Find("frm_Main");
    }
    void ExpectMessages(const fakes::FakeForm& owner, const std::vector<std::string>& texts) const
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

TEST_F(MainWindow, LoadHoldsTheApplicationObjectAndCentresInTheWorkArea)
{
    fake.toolkit.screen.workArea = {0, 0, 1000, 700};  // 15000 x 10500 twips
    fakes::FakeForm& form = Load();

    EXPECT_EQ(fake.objects.progIds, std::vector<std::string>{"SQLDMO.Application.8.0"});
    EXPECT_EQ(form.moves, (Moves{{(15000 - 6030) / 2.0, (10500 - 2145) / 2.0}}));
    EXPECT_EQ(form.owner, nullptr);
    EXPECT_EQ(form.Caption(), "Tallyrun");
    EXPECT_EQ(form.Combo("cbo_Servers").text, "<Server Name>");
    EXPECT_EQ(form.Combo("cbo_DBs").text, "<Database Name>");
    EXPECT_FALSE(form.visible);
    window->Show();
    EXPECT_TRUE(form.visible);
    EXPECT_TRUE(fake.toolkit.messages.empty());
}

// Quit once whatever it does; an application object that cannot be made is told once, when the window shows.
TEST_F(MainWindow, ClosingQuitsTheApplicationObjectOnceAndOneThatCannotBeMadeIsToldOnce)
{
    for (const bool quitFails : {false, true}) {
        fake.objects.quitCalls = 0;
        if (quitFails)
            fake.objects.quitFailure = Error(-2147023174, "The RPC server is unavailable.");
        fakes::FakeForm& form = Load();
        window->Show();
        EXPECT_EQ(fake.objects.quitCalls, 0);
        EXPECT_TRUE(form.RequestClose());
        EXPECT_TRUE(form.RequestClose());
        window.reset();
        EXPECT_EQ(fake.objects.quitCalls, 1) << "quit fails: " << quitFails;
    }
    EXPECT_TRUE(fake.toolkit.messages.empty());

    fake.objects.quitCalls = 0;
    fake.objects.failure = Error(429, "ActiveX component can't create object");
    fakes::FakeForm& form = Load();
    EXPECT_TRUE(fake.toolkit.messages.empty());
    window->Show();
    form.visible = false;
    window->Show();
    ExpectMessages(form, {"ActiveX component can't create object"});
    EXPECT_TRUE(form.RequestClose());
    EXPECT_EQ(fake.objects.quitCalls, 0);
}

TEST_F(MainWindow, RunStartsTheClientAndWaitsInADialogCentredOverTheWindow)
{
    // A work area beyond twips: load cannot centre the window, and opens it all the same.
    fake.toolkit.screen.workArea = {0, 0, 200'000'000, 700};
    fakes::FakeForm& form = Load();
    EXPECT_TRUE(form.moves.empty());
    form.left = 3000;
    form.top = 1500;
    form.Combo("cbo_Servers").text = "SRV1";
    form.Combo("cbo_DBs").text = "Sales";
    std::vector<Moves> dialogMoves;
    fake.toolkit.whileModal = [&](fakes::FakeForm& dialog) {
        EXPECT_EQ(dialog.layout.name, "frm_Updating");
        EXPECT_EQ(dialog.owner, &form);
        dialogMoves.push_back(dialog.moves);
        EXPECT_EQ(fake.processes.asked.size(), dialogMoves.size() - 1) << "asked before the first tick";
        dialog.timers.at(0)->Tick();
        EXPECT_TRUE(dialog.unloaded);
    };

    form.Button("cmd_Tallyrun").Click();
    // The client runs already when the dialog cannot be placed: it waits for it wherever it is.
    fake.toolkit.moveFailure = Error(errc::Overflow, "Overflow");
    form.Button("cmd_Tallyrun").Click();

    const std::string line = "osql -S SRV1 -E -Q \"DBCC UPDATEUSAGE('Sales') WITH NO_INFOMSGS, COUNT_ROWS\"";
    EXPECT_EQ(fake.launcher.lines, (std::vector<std::string>{line, line}));
    EXPECT_EQ(dialogMoves, (std::vector<Moves>{{{3000 + (6030 - 4155) / 2.0, 1500 + (2145 - 900) / 2.0}}, {}}));
    EXPECT_EQ(fake.processes.asked, (std::vector<std::int32_t>{4242, 4242}));
    EXPECT_FALSE(fake.toolkit.Has("frm_Updating")) << "the dialog outlived its run";
    EXPECT_TRUE(fake.toolkit.messages.empty());
}

TEST_F(MainWindow, AFailedRunIsExplainedOnceTheDialogHasClosedAndASuccessfulOneIsNot)
{
    fakes::FakeForm& form = Load();
    fake.toolkit.whileModal = [&](fakes::FakeForm& dialog) {
        EXPECT_TRUE(fake.launcher.taken.empty()) << "the outcome was taken while the client ran";
        dialog.timers.at(0)->Tick();
    };
    const auto run = [&](std::optional<ClientOutcome> outcome) {
        fake.launcher.outcome = std::move(outcome);
        fake.launcher.taken.clear();
        form.Button("cmd_Tallyrun").Click();
        EXPECT_FALSE(fake.toolkit.Has("frm_Updating"));
        EXPECT_EQ(fake.launcher.taken, std::vector<std::int32_t>{4242});
    };

    run(ClientOutcome{ClientOutcome::End::Exited, 0, "DBCC execution completed.\n"});
    run(std::nullopt);
    run(ClientOutcome{ClientOutcome::End::Unknown, 0, ""});
    EXPECT_TRUE(fake.toolkit.messages.empty());

    run(ClientOutcome{ClientOutcome::End::Exited, 0,
                      "Msg 2520, Level 16, State 11, Server SRV1, Line 1\nCould not find database 'Salse'.\n"});
    run(ClientOutcome{ClientOutcome::End::Signalled, 9, ""});
    ExpectMessages(form, {"Could not find database 'Salse'.", "stopped from outside"});
    EXPECT_EQ(fake.launcher.lines.size(), 5u);
}

TEST_F(MainWindow, RefusedAndFailedStartsAreExplainedWithoutADialog)
{
    const std::string notFound = "Cannot start \"osql\": no program of that name was found on the search path.";
    fakes::FakeForm& form = Load();
    form.Combo("cbo_DBs").text = "Sa\"les";
    form.Button("cmd_Tallyrun").Click();
    EXPECT_TRUE(fake.launcher.lines.empty()) << "a name with a double quote reached the launcher";

    form.Combo("cbo_DBs").text = "Sales";
    fake.launcher.failure = Error(ENOENT, notFound);
    form.Button("cmd_Tallyrun").Click();

    EXPECT_EQ(fake.launcher.lines.size(), 1u);
    ExpectMessages(form, {"\"Database Name\"", notFound});
    EXPECT_EQ(fake.toolkit.formsMade, 1);
}

}  // namespace
}  // namespace tallyrun
