// What every toolkit must do with the window modules' layouts and the interfaces: pixel geometry at the screen's
// factor, focus and tab order, a close request refused and then allowed, timer ticks during a modal show, and a
// list that opens. Written against the interfaces and the toolkit probe only.
#include "main_window/frm_Main.h"
#include "tests/fixtures/fake_platform/fake_screen.h"
#include "tests/fixtures/toolkit_probe/toolkit_probe.h"
#include "wait_dialog/frm_Updating.h"

#include <gtest/gtest.h>

#include <chrono>

namespace tallyrun {
namespace {

using probe::PixelRect;

// frm_Main's controls in layout order.
constexpr std::size_t ServersAt = 2, DatabasesAt = 5;

struct Contract : testing::Test {
    fakes::FakeScreen screen;
    std::unique_ptr<ui::Toolkit> toolkit = probe::MakeToolkit(screen);
};

TEST_F(Contract, ControlsTakeTheirTwipsInWholePixelsAtTheScreensFactor)
{
    const auto main = toolkit->CreateForm(frm_MainLayout, nullptr);
    const auto dialog = toolkit->CreateForm(frm_UpdatingLayout, main.get());
    EXPECT_EQ(probe::ClientRect(*main), (PixelRect{0, 0, 402, 143}));
    const PixelRect controls[] = {{8, 8, 345, 17},   {57, 42, 57, 17},   {121, 40, 161, 21}, {289, 40, 81, 21},
                                  {33, 74, 81, 17},  {121, 72, 161, 21}, {289, 72, 81, 21},  {161, 108, 81, 21}};
    for (std::size_t index = 0; index < std::size(controls); ++index)
        EXPECT_EQ(probe::ControlRect(*main, index), controls[index]) << frm_MainLayout.controls[index].name;
    EXPECT_EQ(probe::ClientRect(*dialog), (PixelRect{0, 0, 277, 60}));
    EXPECT_EQ(probe::ControlRect(*dialog, 0), (PixelRect{22, 14, 233, 33}));

    // Each axis at its own factor; 6030 / 12 = 502.5 goes to the even 502.
    screen.twipsX = 12;
    screen.twipsY = 20;
    const auto scaled = toolkit->CreateForm(frm_MainLayout, nullptr);
    EXPECT_EQ(probe::ClientRect(*scaled), (PixelRect{0, 0, 502, 107}));
    EXPECT_EQ(probe::ControlRect(*scaled, ServersAt), (PixelRect{151, 30, 201, 16}));
}

TEST_F(Contract, FocusStartsInTheFirstControlThatTakesItAndTabFollowsTheLayout)
{
    const auto main = toolkit->CreateForm(frm_MainLayout, nullptr);
    ASSERT_TRUE(probe::ShowActive(*main));
    EXPECT_EQ(probe::FocusedControl(*main), "cbo_Servers");
    for (const char* next : {"cmd_ListServers", "cbo_DBs", "cmd_ListDBs", "cmd_Tallyrun", "cbo_Servers"}) {
        probe::PressTab(*main);
        EXPECT_EQ(probe::FocusedControl(*main), next);
    }
}

TEST_F(Contract, AModalDialogTicksRefusesTheUserAndGoesWhenItAllowsTheClose)
{
    const auto main = toolkit->CreateForm(frm_MainLayout, nullptr);
    main->Show();
    const auto dialog = toolkit->CreateForm(frm_UpdatingLayout, main.get());
    bool allow = false;
    int ticks = 0;
    int unloads = 0;
    bool survivedTheUser = false;
    dialog->OnQueryUnload([&](bool& cancel) { cancel = !allow; });
    dialog->OnUnload([&] { ++unloads; });
    ui::Timer& timer = dialog->AddTimer();
    EXPECT_FALSE(timer.Enabled());
    timer.SetInterval(50);
    EXPECT_EQ(timer.Interval(), 50);
    timer.OnTimer([&] {
        if (++ticks == 1) {
            survivedTheUser = probe::SurvivesUserClose(*dialog);
            dialog->Unload();
        } else if (ticks == 3) {
            allow = true;
            timer.SetEnabled(false);
            dialog->Unload();
        }
    });
    timer.SetEnabled(true);

    const auto start = std::chrono::steady_clock::now();
    dialog->ShowModal();
    const auto waited = std::chrono::steady_clock::now() - start;

    EXPECT_TRUE(survivedTheUser);
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(unloads, 1);
    EXPECT_FALSE(probe::IsVisible(*dialog));
    EXPECT_GE(waited, std::chrono::milliseconds(100));
    EXPECT_LT(waited, std::chrono::seconds(10));
}

TEST_F(Contract, ListsKeepTheirSelectionUntilSetAndOpen)
{
    const auto main = toolkit->CreateForm(frm_MainLayout, nullptr);
    ASSERT_TRUE(probe::ShowActive(*main));
    ui::ComboBox& databases = main->ComboBoxAt(DatabasesAt);
    EXPECT_EQ(databases.Text(), "<Database Name>");
    databases.SetText("Ventes d'\u00e9t\u00e9");
    EXPECT_EQ(databases.Text(), "Ventes d'\u00e9t\u00e9");
    databases.Clear();
    databases.AddItem("<Database Name>");
    databases.AddItem("Sales");
    EXPECT_EQ(databases.ListCount(), 2);
    EXPECT_EQ(databases.ListIndex(), -1);
    databases.SetListIndex(1);
    EXPECT_EQ(databases.Text(), "Sales");
    EXPECT_THROW(databases.SetListIndex(2), Error);
    databases.SetFocus();
    EXPECT_EQ(probe::FocusedControl(*main), "cbo_DBs");

    EXPECT_FALSE(probe::ListIsOpen(*main, DatabasesAt));
    databases.ShowDropDown();
    probe::RunEvents(50);
    EXPECT_TRUE(probe::ListIsOpen(*main, DatabasesAt));
    EXPECT_EQ(main->MousePointer(), ui::PointerDefault);
    main->SetMousePointer(ui::PointerHourglass);
    EXPECT_EQ(main->MousePointer(), ui::PointerHourglass);
}

}  // namespace
}  // namespace tallyrun

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    // Listing the tests needs no display; running them needs the toolkit's application.
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    tallyrun::probe::Session session(argc, argv);
    return RUN_ALL_TESTS();
}
