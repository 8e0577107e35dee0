// What every toolkit must do with the window modules' layouts and the interfaces: pixel geometry and fitted
// captions at the screen's factor, frames read in twips, names for screen readers, focus, tab order and keys, a
// close request refused and then allowed, timer ticks during a modal show, and a list that opens. Written against
// the interfaces and the toolkit probe only.
#include "main_window/frm_Main.h"
#include "tests/fixtures/fake_platform/fake_screen.h"
#include "tests/fixtures/toolkit_probe/toolkit_probe.h"
#include "wait_dialog/frm_Updating.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tallyrun {
namespace {

using probe::PixelRect;

// frm_Main's controls in layout order.
constexpr std::size_t ServerLabelAt = 1, ServersAt = 2, ListServersAt = 3, DatabasesAt = 5, ListDBsAt = 6,
                      TallyrunAt = 7;

struct Contract : testing::Test {
    fakes::FakeScreen screen;
    std::unique_ptr<ui::Toolkit> toolkit = probe::MakeToolkit(screen);
};

// Twips as whole pixels at the screen's factor, a half going to the even neighbour.
int Pixels(int twips, float twipsPerPixel)
{
    return static_cast<int>(std::nearbyint(twips / twipsPerPixel));
}

PixelRect Pixels(const ui::TwipsRect& at, float twipsPerPixel)
{
    return {Pixels(at.left, twipsPerPixel), Pixels(at.top, twipsPerPixel), Pixels(at.width, twipsPerPixel),
            Pixels(at.height, twipsPerPixel)};
}

PixelRect ClientPixels(const ui::FormLayout& layout, float twipsPerPixel)
{
    return {0, 0, Pixels(layout.clientWidth, twipsPerPixel), Pixels(layout.clientHeight, twipsPerPixel)};
}

TEST_F(Contract, FormsScaleWithTheScreensFactorAndTheirCaptionsFitInAFontThatScalesToo)
{
    int baseLineHeight = 0;
    // The screen at 96, 144 and 192 dots per inch.
    for (const float factor : {15.0f, 10.0f, 7.5f}) {
        screen.twipsX = screen.twipsY = factor;
        const auto main = toolkit->CreateForm(frm_MainLayout, nullptr);
        const auto dialog = toolkit->CreateForm(frm_UpdatingLayout, main.get());
        SCOPED_TRACE(factor);
        EXPECT_EQ(probe::ClientRect(*main), ClientPixels(frm_MainLayout, factor));
        EXPECT_EQ(probe::ClientRect(*dialog), ClientPixels(frm_UpdatingLayout, factor));
        EXPECT_EQ(probe::ControlRect(*dialog, 0), Pixels(frm_UpdatingLayout.controls[0].at, factor));
        for (std::size_t index = 0; index < frm_MainLayout.controls.size(); ++index) {
            const ui::ControlLayout& control = frm_MainLayout.controls[index];
            const PixelRect expected = Pixels(control.at, factor);
            EXPECT_EQ(probe::ControlRect(*main, index), expected) << control.name;
            if (control.kind == ui::ControlKind::ComboBox)
                continue;  // the edit text may scroll
            const PixelRect caption = probe::CaptionExtent(*main, index);
            EXPECT_LE(caption.width, expected.width) << control.name;
            EXPECT_LE(caption.height, expected.height) << control.name;
        }
        const int lineHeight = probe::CaptionExtent(*main, ServerLabelAt).height;
        if (!baseLineHeight)
            baseLineHeight = lineHeight;
        EXPECT_GE(lineHeight, 0.75 * baseLineHeight * 15 / factor) << "the font keeps its share";
    }

}

TEST_F(Contract, FormsReadTheirFrameInTwipsOnEachAxisAndMoveToWholePixels)
{
    screen.twipsX = 12;
    screen.twipsY = 20;
    const auto main = toolkit->CreateForm(frm_MainLayout, nullptr);
    ASSERT_TRUE(probe::ShowActive(*main));
    // 6030 / 12 = 502.5 goes to the even 502.
    EXPECT_EQ(probe::ClientRect(*main), (PixelRect{0, 0, 502, 107}));
    EXPECT_EQ(probe::ControlRect(*main, ServersAt), (PixelRect{151, 30, 201, 16}));
    const PixelRect frame = probe::FrameRect(*main);
    EXPECT_GT(frame.height, 107) << "a caption above the client area";
    EXPECT_EQ(main->Left(), frame.left * 12.0f);
    EXPECT_EQ(main->Top(), frame.top * 20.0f);
    EXPECT_EQ(main->Width(), frame.width * 12.0f);
    EXPECT_EQ(main->Height(), frame.height * 20.0f);
    EXPECT_EQ(main->ScaleWidth(), 502 * 12.0f);
    EXPECT_EQ(main->ScaleHeight(), 107 * 20.0f);
    EXPECT_EQ(main->WindowState(), 0);
    EXPECT_FALSE(main->MDIChild());

    main->Move(605, 409.5);  // 50.42 and 20.475 pixels
    probe::RunEvents(20);
    EXPECT_EQ(probe::FrameRect(*main), (PixelRect{50, 20, frame.width, frame.height}));
    EXPECT_THROW(main->Move(1e300, 0), Error);
    EXPECT_THROW(main->ShowModal(), Error);
    EXPECT_THROW(main->StatusBar(), Error);
}

// A combo box's own name is the toolkit's affair: Qt on Linux gives a combo box its edit text as its name and the
// screen reader its label through the label relation, where Windows' readers take the name.
TEST_F(Contract, ScreenReadersHearEachControlByWhatItDoesAndEachComboBoxByItsLabel)
{
    const auto main = toolkit->CreateForm(frm_MainLayout, nullptr);
    const auto dialog = toolkit->CreateForm(frm_UpdatingLayout, main.get());
    for (std::size_t index = 0; index < frm_MainLayout.controls.size(); ++index) {
        const ui::ControlLayout& control = frm_MainLayout.controls[index];
        SCOPED_TRACE(control.name);
        EXPECT_EQ(probe::AccessibleKind(*main, index), control.kind);
        if (control.kind == ui::ControlKind::ComboBox)
            EXPECT_EQ(probe::LabelOf(*main, index), index - 1) << "the label laid out before it";
        else
            EXPECT_EQ(probe::AccessibleName(*main, index),
                      control.accessibleName.empty() ? control.caption : control.accessibleName);
    }
    EXPECT_EQ(probe::AccessibleName(*dialog, 0), frm_UpdatingLayout.controls[0].caption);
    EXPECT_EQ(main->CommandButtonAt(ListServersAt).Caption(), "List Available") << "the caption stays as it is";
}

TEST_F(Contract, AltDownAndF4OpenAListAndEnterInAComboBoxNeitherRunsNorAddsARow)
{
    using probe::Key;
    for (const auto& [combo, key] : {std::pair{ServersAt, Key::AltDown}, std::pair{DatabasesAt, Key::F4}}) {
        const auto main = toolkit->CreateForm(frm_MainLayout, nullptr);
        ASSERT_TRUE(probe::ShowActive(*main));
        int clicks = 0;
        for (const std::size_t button : {ListServersAt, ListDBsAt, TallyrunAt})
            main->CommandButtonAt(button).OnClick([&] { ++clicks; });
        ui::ComboBox& box = main->ComboBoxAt(combo);
        box.SetFocus();
        box.SetText("db01");
        probe::Press(*main, Key::Enter);
        probe::RunEvents(20);
        EXPECT_EQ(clicks, 0);
        EXPECT_EQ(box.ListCount(), 0);
        EXPECT_EQ(box.Text(), "db01");
        EXPECT_EQ(probe::FocusedControl(*main), frm_MainLayout.controls[combo].name);

        box.AddItem("db01");
        box.AddItem("db02");
        probe::Press(*main, key);
        probe::RunEvents(50);
        EXPECT_TRUE(probe::ListIsOpen(*main, combo)) << frm_MainLayout.controls[combo].name;
    }
}

// As on Windows: typing at once replaces the placeholder, Enter and the keypad's Enter press the button that has
// the focus, and Alt with a letter types nothing.
TEST_F(Contract, FocusStartsInTheFirstControlThatTakesItAndTabFollowsTheLayout)
{
    const auto main = toolkit->CreateForm(frm_MainLayout, nullptr);
    std::vector<std::string> clicked;
    for (const std::size_t button : {ListServersAt, ListDBsAt, TallyrunAt})
        main->CommandButtonAt(button).OnClick([&, button] { clicked.emplace_back(frm_MainLayout.controls[button].name); });
    ASSERT_TRUE(probe::ShowActive(*main));
    EXPECT_EQ(probe::FocusedControl(*main), "cbo_Servers");
    probe::Type(*main, "srv1");
    probe::Press(*main, probe::Key::AltS);
    probe::RunEvents(20);
    EXPECT_EQ(main->ComboBoxAt(ServersAt).Text(), "srv1");
    for (const char* next : {"cmd_ListServers", "cbo_DBs", "cmd_ListDBs", "cmd_Tallyrun", "cbo_Servers"}) {
        probe::Press(*main, probe::Key::Tab);
        EXPECT_EQ(probe::FocusedControl(*main), next);
        if (std::string_view(next).starts_with("cmd_")) {
            probe::Press(*main, probe::Key::Enter);
            probe::Press(*main, probe::Key::KeypadEnter);
            probe::RunEvents(20);
            EXPECT_EQ(clicked, (std::vector<std::string>{next, next})) << "Enter and the keypad's Enter";
            clicked.clear();
        }
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
    bool busyWhileWaiting = false;
    dialog->OnQueryUnload([&](bool& cancel) { cancel = !allow; });
    dialog->OnUnload([&] { ++unloads; });
    ui::Timer& timer = dialog->AddTimer();
    EXPECT_FALSE(timer.Enabled());
    timer.SetInterval(50);
    EXPECT_EQ(timer.Interval(), 50);
    timer.OnTimer([&] {
        if (++ticks == 1) {
            survivedTheUser = probe::SurvivesUserClose(*dialog);
            busyWhileWaiting = probe::AnnouncedBusy(*dialog);
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
    EXPECT_TRUE(busyWhileWaiting) << "a screen reader hears the dialog wait";
    EXPECT_TRUE(probe::AnnouncedAsWindow(*main));
    EXPECT_FALSE(probe::AnnouncedBusy(*main));
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
