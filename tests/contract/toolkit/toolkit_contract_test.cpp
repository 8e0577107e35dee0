// What every toolkit does with the window modules' layouts, seen through the interfaces and the toolkit probe only:
// each control placed, captioned and named for screen readers at the screen's factor, frames in twips, focus, keys
// and lists, and a modal dialog that ticks and refuses the user until it allows the close.
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
#include <tuple>
#include <utility>
#include <vector>

namespace tallyrun {
namespace {

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

// A combo box's own name is the toolkit's affair: Qt on Linux gives a combo box its edit text as its name and the
// screen reader its label through the label relation, where Windows' readers take the name.
TEST_F(Contract, FormsScaleOnEachAxisAndEachControlFitsItsCaptionInAFontThatScalesAndIsHeardForWhatItDoes)
{
    int baseLineHeight = 0;
    // The screen at 96, 144 and 192 dots per inch, and one of pixels taller than wide, where 6030 / 12 = 502.5.
    for (const auto& [x, y] : {std::pair{15.0f, 15.0f}, {10.0f, 10.0f}, {7.5f, 7.5f}, {12.0f, 20.0f}}) {
        screen.twipsX = x;
        screen.twipsY = y;
        const auto main = toolkit->CreateForm(frm_MainLayout, nullptr);
        const auto dialog = toolkit->CreateForm(frm_UpdatingLayout, main.get());
        SCOPED_TRACE(testing::Message() << x << " by " << y);
        for (const auto& [form, layout] :
             {std::pair{main.get(), &frm_MainLayout}, {dialog.get(), &frm_UpdatingLayout}}) {
            EXPECT_EQ(form->Caption(), layout->caption);
            EXPECT_EQ(form->ScaleWidth(), Pixels(layout->clientWidth, x) * x);
            EXPECT_EQ(form->ScaleHeight(), Pixels(layout->clientHeight, y) * y);
            for (std::size_t index = 0; index < layout->controls.size(); ++index) {
                const ui::ControlLayout& control = layout->controls[index];
                SCOPED_TRACE(control.name);
                const probe::PixelRect expected{Pixels(control.at.left, x), Pixels(control.at.top, y),
                                                Pixels(control.at.width, x), Pixels(control.at.height, y)};
                EXPECT_EQ(probe::ControlRect(*form, index), expected);
                const probe::Heard heard = probe::Hear(*form, index);
                EXPECT_EQ(heard.kind, control.kind);
                if (control.kind == ui::ControlKind::ComboBox) {
                    EXPECT_EQ(heard.label, index - 1) << "the label laid out before it";
                    continue;  // its edit text may scroll
                }
                EXPECT_EQ(heard.name, control.accessibleName.empty() ? control.caption : control.accessibleName);
                if (control.wordWrap)
                    continue;  // wrapped text takes several lines
                const probe::PixelRect caption = probe::CaptionExtent(*form, index);
                EXPECT_LE(caption.width, expected.width);
                EXPECT_LE(caption.height, expected.height);
            }
        }
        const int lineHeight = probe::CaptionExtent(*main, ServerLabelAt).height;
        if (!baseLineHeight)
            baseLineHeight = lineHeight;
        EXPECT_GE(lineHeight, 0.75 * baseLineHeight * 15 / y) << "the font keeps its share";
    }
}

TEST_F(Contract, FormsReadTheirFrameInTwipsOnEachAxisAndMoveToWholePixels)
{
    screen.twipsX = 12;
    screen.twipsY = 20;
    const auto main = toolkit->CreateForm(frm_MainLayout, nullptr);
    ASSERT_TRUE(probe::ShowActive(*main));
    const probe::PixelRect frame = probe::FrameRect(*main);
    EXPECT_EQ(std::tuple(main->Left(), main->Top(), main->Width(), main->Height()),
              std::tuple(frame.left * 12.0f, frame.top * 20.0f, frame.width * 12.0f, frame.height * 20.0f));
    EXPECT_GT(main->Height(), main->ScaleHeight()) << "a caption above the client area";
    EXPECT_EQ(main->WindowState(), 0);

    main->Move(605, 409.5);  // 50.42 and 20.475 pixels
    probe::RunEvents(20);
    EXPECT_EQ(probe::FrameRect(*main), (probe::PixelRect{50, 20, frame.width, frame.height}));
    EXPECT_THROW(main->Move(1e300, 0), Error);
    EXPECT_THROW(main->ShowModal(), Error);
    EXPECT_THROW(main->StatusBar(), Error);
}

// Each way to open a list, on a window of its own.
TEST_F(Contract, ListsHoldWhatIsSetAndOpenByAltDownF4OrTheCall)
{
    using probe::Key;
    for (const auto& [combo, key] : {std::pair{ServersAt, std::optional(Key::AltDown)},
                                     {DatabasesAt, std::optional(Key::F4)}, {DatabasesAt, std::optional<Key>()}}) {
        const auto main = toolkit->CreateForm(frm_MainLayout, nullptr);
        const ui::ControlLayout& control = frm_MainLayout.controls[combo];
        SCOPED_TRACE(control.name);
        ui::ComboBox& box = main->ComboBoxAt(combo);
        EXPECT_THROW(main->LabelAt(combo), Error);
        EXPECT_THROW(box.SetFocus(), Error) << "not shown";
        ASSERT_TRUE(probe::ShowActive(*main));
        EXPECT_EQ(box.Text(), control.caption);
        box.SetFocus();
        EXPECT_EQ(probe::FocusedControl(*main), control.name);
        box.SetText("Ventes d'\u00e9t\u00e9");
        EXPECT_EQ(box.Text(), "Ventes d'\u00e9t\u00e9");
        box.AddItem("stale");
        box.Clear();
        box.AddItem("db01");
        box.AddItem("Sales");
        EXPECT_EQ(box.ListCount(), 2);
        EXPECT_EQ(box.ListIndex(), -1);
        box.SetListIndex(1);
        EXPECT_EQ(box.Text(), "Sales");
        EXPECT_THROW(box.SetListIndex(2), Error);
        EXPECT_FALSE(probe::ListIsOpen(*main, combo));
        if (key)
            probe::Press(*main, *key);
        else
            box.ShowDropDown();
        probe::RunEvents(50);
        EXPECT_TRUE(probe::ListIsOpen(*main, combo));
    }
}

// As on Windows: typing at once replaces the placeholder, Enter and the keypad's Enter press the button that has
// the focus but neither runs anything nor adds a row in a combo box, and Alt with a letter types nothing.
TEST_F(Contract, FocusStartsInTheFirstControlThatTakesItAndTabFollowsTheLayout)
{
    const auto main = toolkit->CreateForm(frm_MainLayout, nullptr);
    int shown = 0;
    main->OnShown([&] { ++shown; });
    std::vector<std::string_view> clicked;
    for (const std::size_t button : {ListServersAt, ListDBsAt, TallyrunAt})
        main->CommandButtonAt(button).OnClick([&, button] { clicked.push_back(frm_MainLayout.controls[button].name); });
    ASSERT_TRUE(probe::ShowActive(*main));
    EXPECT_EQ(probe::FocusedControl(*main), "cbo_Servers");
    probe::Type(*main, "srv1");
    probe::Press(*main, probe::Key::AltS);
    for (const char* next : {"cmd_ListServers", "cbo_DBs", "cmd_ListDBs", "cmd_Tallyrun", "cbo_Servers"}) {
        probe::Press(*main, probe::Key::Tab);
        EXPECT_EQ(probe::FocusedControl(*main), next);
        probe::Press(*main, probe::Key::Enter);
        probe::Press(*main, probe::Key::KeypadEnter);
        probe::RunEvents(20);
        const std::vector<std::string_view> expected(std::string_view(next).starts_with("cmd_") ? 2 : 0, next);
        EXPECT_EQ(clicked, expected) << "for Enter and for the keypad's Enter on a button only";
        clicked.clear();
    }
    EXPECT_EQ(main->ComboBoxAt(ServersAt).Text(), "srv1");
    EXPECT_EQ(main->ComboBoxAt(ServersAt).ListCount() + main->ComboBoxAt(DatabasesAt).ListCount(), 0);
    EXPECT_EQ(shown, 1);
}

TEST_F(Contract, AModalDialogTicksRefusesTheUserAndGoesWhenItAllowsTheClose)
{
    const auto main = toolkit->CreateForm(frm_MainLayout, nullptr);
    main->Show();
    const auto dialog = toolkit->CreateForm(frm_UpdatingLayout, main.get());
    bool allow = false;
    int ticks = 0;
    int unloads = 0;
    dialog->OnQueryUnload([&](bool& cancel) { cancel = !allow; });
    dialog->OnUnload([&] { ++unloads; });
    ui::Timer& timer = dialog->AddTimer();
    EXPECT_FALSE(timer.Enabled());
    timer.SetInterval(50);
    timer.OnTimer([&] {
        if (++ticks == 1) {
            EXPECT_TRUE(probe::SurvivesUserClose(*dialog));
            EXPECT_TRUE(probe::Announce(*dialog).busy) << "a screen reader hears the dialog wait";
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

    EXPECT_TRUE(probe::Announce(*main).asWindow);
    EXPECT_FALSE(probe::Announce(*main).busy);
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(unloads, 1);
    EXPECT_GE(waited, std::chrono::milliseconds(100));
    EXPECT_LT(waited, std::chrono::seconds(10));
}

}  // namespace
}  // namespace tallyrun

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    // Listing the tests needs no display; running them needs the toolkit's application.
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    const std::shared_ptr<void> session = tallyrun::probe::StartSession(argc, argv);
    return RUN_ALL_TESTS();
}
