// The real Tallyrun.exe, driven from outside as a user would: its window, a click on Tallyrun that starts the
// client beside it with the exact command line, and the wait dialog that refuses to close until the client ends.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

fs::path FolderOfThisTest()
{
    wchar_t self[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    return fs::path(std::wstring(self, length)).parent_path();
}

// A folder of the test's own holding the programme and the recording client under the client's name.
struct Installation {
    Installation()
    {
        folder = fs::temp_directory_path() / (L"tallyrun-exe-" + std::to_wstring(::GetCurrentProcessId()));
        fs::remove_all(folder);
        fs::create_directories(folder / L"elsewhere");
        fs::copy_file(FolderOfThisTest() / L"Tallyrun.exe", folder / L"Tallyrun.exe");
        fs::copy_file(FolderOfThisTest() / L"recording_client.exe", folder / L"osql.exe");
    }
    ~Installation()
    {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
    fs::path folder;
};

// The started programme, ended when the test is, whatever it asserted.
struct Running {
    explicit Running(const fs::path& program, const fs::path& workingFolder)
    {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring line = L"\"" + program.wstring() + L"\"";
        started = ::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   workingFolder.c_str(), &startup, &process);
        if (started)
            ::CloseHandle(process.hThread);
    }
    ~Running()
    {
        if (!started)
            return;
        if (::WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
            ::TerminateProcess(process.hProcess, 99);
        ::CloseHandle(process.hProcess);
    }
    BOOL started = FALSE;
    PROCESS_INFORMATION process{};
};

std::wstring TextOf(HWND window)
{
    wchar_t text[256];
    const int length = ::GetWindowTextW(window, text, static_cast<int>(std::size(text)));
    return std::wstring(text, static_cast<std::size_t>(length > 0 ? length : 0));
}

// The visible top-level window of `processId` with that caption, waited for up to `limit`.
HWND FindWindowOf(DWORD processId, const std::wstring& caption, std::chrono::milliseconds limit = 20s)
{
    struct Search {
        DWORD processId;
        const std::wstring* caption;
        HWND found;
    } search{processId, &caption, nullptr};
    const auto deadline = Clock::now() + limit;
    do {
        ::EnumWindows(
            [](HWND window, LPARAM parameter) -> BOOL {
                auto& s = *reinterpret_cast<Search*>(parameter);
                DWORD owner = 0;
                ::GetWindowThreadProcessId(window, &owner);
                if (owner == s.processId && ::IsWindowVisible(window) && TextOf(window) == *s.caption) {
                    s.found = window;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        std::this_thread::sleep_for(20ms);
    } while (Clock::now() < deadline);
    return nullptr;
}

// The `n`th child (from 0) of that window class, in creation order, which is the layout's.
HWND ChildOfClass(HWND parent, const wchar_t* className, int n)
{
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[64];
        ::GetClassNameW(child, name, static_cast<int>(std::size(name)));
        if (::lstrcmpiW(name, className) == 0 && n-- == 0)
            return child;
    }
    return nullptr;
}

SIZE ClientSize(HWND window)
{
    RECT client{};
    ::GetClientRect(window, &client);
    return {client.right - client.left, client.bottom - client.top};
}

std::wstring ReadUtf16(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
}

bool WaitFor(const auto& condition, std::chrono::milliseconds limit)
{
    const auto deadline = Clock::now() + limit;
    while (!condition()) {
        if (Clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

int LogicalDpi()
{
    const HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    return dpi;
}

TEST(TallyrunExe, RunsTheClientBesideItAndWaitsForItBehindADialogThatWillNotClose)
{
    if (LogicalDpi() != 96)
        GTEST_SKIP() << "the pixel sizes below are those at 96 dots per inch";
    Installation installation;
    Running tallyrun(installation.folder / L"Tallyrun.exe", installation.folder / L"elsewhere");
    ASSERT_TRUE(tallyrun.started) << "CreateProcessW failed: " << ::GetLastError();

    const HWND main = FindWindowOf(tallyrun.process.dwProcessId, L"Tallyrun");
    ASSERT_NE(main, nullptr) << "no window titled Tallyrun";
    const SIZE mainClient = ClientSize(main);
    EXPECT_EQ(mainClient.cx, 402);
    EXPECT_EQ(mainClient.cy, 143);

    // Centred between the screen's origin and the work area's far edges, to the pixel the twips round to.
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT frame{};
    ::GetWindowRect(main, &frame);
    EXPECT_NEAR(frame.left, (work.right - (frame.right - frame.left)) / 2.0, 1.0);
    EXPECT_NEAR(frame.top, (work.bottom - (frame.bottom - frame.top)) / 2.0, 1.0);

    const HWND servers = ChildOfClass(main, L"ComboBox", 0);
    const HWND databases = ChildOfClass(main, L"ComboBox", 1);
    const HWND run = ::FindWindowExW(main, nullptr, L"Button", L"Tallyrun");
    ASSERT_TRUE(servers && databases && run);
    ::SetWindowTextW(servers, L"127.0.0.1,1433");
    ::SetWindowTextW(databases, L"Ventes d'\u00e9t\u00e9");
    ASSERT_TRUE(::PostMessageW(run, BM_CLICK, 0, 0));

    const fs::path recorded = installation.folder / L"command_line.txt";
    ASSERT_TRUE(WaitFor([&] { return fs::exists(recorded); }, 20s)) << "the client was never started";
    EXPECT_EQ(ReadUtf16(recorded),
              L"osql -S 127.0.0.1,1433 -E -Q \"DBCC UPDATEUSAGE(N'Ventes d''\u00e9t\u00e9') WITH NO_INFOMSGS, "
              L"COUNT_ROWS\"");

    const HWND dialog = FindWindowOf(tallyrun.process.dwProcessId, L"Updating Usage");
    ASSERT_NE(dialog, nullptr) << "no wait dialog";
    const SIZE dialogClient = ClientSize(dialog);
    EXPECT_EQ(dialogClient.cx, 277);
    EXPECT_EQ(dialogClient.cy, 60);
    EXPECT_FALSE(::IsWindowEnabled(main)) << "the main window takes input while the dialog waits";

    // Every way a user closes a window: the close box and Alt+F4, the system menu, Escape.
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(dialog, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    ::PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    ::PostMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
    std::this_thread::sleep_for(1500ms);
    EXPECT_TRUE(::IsWindow(dialog) && ::IsWindowVisible(dialog)) << "the dialog closed while the client ran";

    std::ofstream(installation.folder / L"release").put('\n');
    const auto released = Clock::now();
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(dialog) || !::IsWindowVisible(dialog); }, 5s))
        << "the dialog stayed after the client ended";
    const auto gone = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - released);
    std::printf("wait dialog gone %lld ms after the client was released\n", static_cast<long long>(gone.count()));
    EXPECT_LT(gone, 2500ms);
    EXPECT_TRUE(WaitFor([&] { return ::IsWindowEnabled(main) != FALSE; }, 2s));

    ::PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_EQ(::WaitForSingleObject(tallyrun.process.hProcess, 10000), WAIT_OBJECT_0) << "Tallyrun did not end";
    DWORD exitCode = 1;
    ::GetExitCodeProcess(tallyrun.process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
}

}  // namespace
