// The Win32 toolkit against real windows, for what the toolkit contract leaves to each toolkit.
#include "main_window/frm_Main.h"
#include "base/error.h"
#include "platform/win32/win32_application.h"
#include "platform/win32/win32_form.h"
#include "platform/win32/win32_toolkit.h"
#include "tests/fixtures/fake_platform/fake_screen.h"
#include "tests/fixtures/toolkit_probe/toolkit_probe.h"
#include "wait_dialog/frm_Updating.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace tallyrun {
namespace {

constexpr std::size_t InfoAt = 0, ServerLabelAt = 1, ServersAt = 2, ListServersAt = 3, DatabasesAt = 5;

LONG StyleOf(HWND window)
{
    return ::GetWindowLongW(window, GWL_STYLE);
}

HCURSOR CursorOver(HWND window)
{
    ::SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return ::GetCursor();
}

struct Win32ToolkitTest : testing::Test {
    Win32Application application;
    fakes::FakeScreen screen;
    Win32Toolkit toolkit{screen};
};

// Where Qt leaves a combo box's name to its label, Windows' screen readers ask the combo box itself.
TEST_F(Win32ToolkitTest, FormsHaveOnlyACloseBoxLabelsAlignComboBoxesTellTheirLabelsWordsAndTheHourglassCoversAll)
{
    Win32Form main(frm_MainLayout, nullptr, screen);
    Win32Form dialog(frm_UpdatingLayout, &main, screen);
    for (const Win32Form* form : {&main, &dialog}) {
        EXPECT_EQ(StyleOf(form->Handle()) & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME),
                  WS_CAPTION | WS_SYSMENU);
        EXPECT_NE(::GetClassLongPtrW(form->Handle(), GCLP_HICONSM), 0);
    }
    EXPECT_EQ(StyleOf(main.ControlHandle(InfoAt)) & (SS_TYPEMASK | SS_CENTERIMAGE), SS_LEFT | SS_CENTERIMAGE);
    EXPECT_EQ(StyleOf(main.ControlHandle(ServerLabelAt)) & SS_TYPEMASK, SS_RIGHT);
    EXPECT_EQ(StyleOf(dialog.ControlHandle(0)) & (SS_TYPEMASK | SS_CENTERIMAGE), SS_CENTER);
    RECT list{};
    ::SendMessageW(main.ControlHandle(ServersAt), CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&list));
    EXPECT_GT(list.bottom - list.top, 21 * 4) << "the open list shows rows";
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(main.ControlHandle(0), WM_GETFONT, 0, 0));
    for (std::size_t index = 0; index < main.ControlCount(); ++index)
        EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageW(main.ControlHandle(index), WM_GETFONT, 0, 0)), font);
    EXPECT_EQ(probe::Hear(main, ServersAt).name, "Server");
    EXPECT_EQ(probe::Hear(main, DatabasesAt).name, "Database Name");

    COMBOBOXINFO combo{};
    combo.cbSize = sizeof combo;
    ASSERT_TRUE(::GetComboBoxInfo(main.ControlHandle(ServersAt), &combo));
    const HCURSOR wait = ::LoadCursorA(nullptr, IDC_WAIT);
    main.SetMousePointer(ui::PointerHourglass);
    EXPECT_EQ(CursorOver(combo.hwndItem), wait);
    EXPECT_EQ(CursorOver(main.ControlHandle(ListServersAt)), wait);
    EXPECT_EQ(CursorOver(main.Handle()), wait);
    main.SetMousePointer(ui::PointerDefault);
    EXPECT_EQ(CursorOver(combo.hwndItem), ::LoadCursorA(nullptr, IDC_IBEAM));
    EXPECT_EQ(CursorOver(main.Handle()), ::LoadCursorA(nullptr, IDC_ARROW));
}

// The modal show's loop and the message box's own still dispatch the timers, which read what is up and dismiss it.
TEST_F(Win32ToolkitTest, ADialogGoesOnlyWhenTheSessionEndsAndModalShowsAndMessageBoxesDisableTheirOwner)
{
    Win32Form main(frm_MainLayout, nullptr, screen);
    main.Show();
    Win32Form dialog(frm_UpdatingLayout, &main, screen);
    int unloads = 0;
    dialog.OnUnload([&] { ++unloads; });
    dialog.Show();
    EXPECT_EQ(::SendMessageW(dialog.Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    EXPECT_EQ(unloads, 0) << "not before the session really ends";
    ::SendMessageW(dialog.Handle(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_EQ(unloads, 1);
    EXPECT_FALSE(::IsWindowVisible(dialog.Handle()));

    // Escape closes a dialog, never the main window.
    ::SendMessageW(main.Handle(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(::IsWindowVisible(main.Handle()));

    ui::Timer& timer = dialog.AddTimer();
    timer.SetInterval(10);
    timer.OnTimer([&] {
        EXPECT_FALSE(::IsWindowEnabled(main.Handle())) << "the owner under the modal show";
        dialog.Unload();
    });
    timer.SetEnabled(true);
    dialog.ShowModal();
    EXPECT_TRUE(::IsWindowEnabled(main.Handle()));
    EXPECT_FALSE(timer.Enabled()) << "the timers stop with their form";

    ui::Timer& boxTimer = main.AddTimer();
    boxTimer.SetInterval(50);
    boxTimer.OnTimer([&] {
        const HWND box = ::FindWindowExW(nullptr, nullptr, L"#32770", nullptr);
        if (!box || ::GetWindow(box, GW_OWNER) != main.Handle())
            return;
        boxTimer.SetEnabled(false);
        EXPECT_EQ(WindowText(box), "Tallyrun");
        EXPECT_FALSE(::IsWindowEnabled(main.Handle())) << "the owner under the message box";
        bool icon = false;
        for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
            icon = icon || ((StyleOf(child) & SS_TYPEMASK) == SS_ICON && ::SendMessageW(child, STM_GETICON, 0, 0));
        EXPECT_TRUE(icon);
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    boxTimer.SetEnabled(true);
    toolkit.MsgBox(main, "Login failed.", ui::MessageStyleInformation, "Tallyrun");
}

TEST_F(Win32ToolkitTest, ExecRunsWhileAWindowIsOpenAndRaisesAnEventHandlersError)
{
    EXPECT_EQ(application.Exec(), 0);
    const auto first = toolkit.CreateForm(frm_MainLayout, nullptr);
    const auto second = toolkit.CreateForm(frm_MainLayout, nullptr);
    first->Show();
    second->Show();
    ui::Timer& timer = second->AddTimer();
    timer.SetInterval(10);
    int ticks = 0;
    timer.OnTimer([&] { (++ticks == 1 ? first : second)->Unload(); });
    timer.SetEnabled(true);
    EXPECT_EQ(application.Exec(), 0);
    EXPECT_EQ(ticks, 2);

    second->Show();
    timer.OnTimer([] { throw Error(errc::InvalidArgument, "from a handler"); });
    timer.SetEnabled(true);
    EXPECT_THROW(application.Exec(), Error);
}

}  // namespace
}  // namespace tallyrun
