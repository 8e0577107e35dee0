// Times the wait dialog from its client's end to the dialog gone, over clients that end at different points of the
// poll's second, and the programme's CPU time while the dialog waits, with the real launcher and Qt toolkit.
#include "main_window/frm_Main.h"
#include "platform/core/launcher.h"
#include "platform/process/system_launcher.h"
#include "platform/process/system_process_query.h"
#include "platform/qt/qt_screen.h"
#include "platform/qt/qt_toolkit.h"
#include "wait_dialog/frm_Updating.h"

#include <QApplication>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace tallyrun;
using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

double CpuMilliseconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QtScreen screen;
    QtToolkit toolkit(screen);
    SystemLauncher launcher;
    SystemProcessQuery processes(launcher);
    const auto owner = toolkit.CreateForm(frm_MainLayout, nullptr);
    owner->Show();

    std::vector<double> lags;
    double cpu = 0, wall = 0;
    // Client lifetimes 130 ms apart, so their ends fall across the whole of the poll's second.
    for (int run = 0; run < 8; ++run) {
        const double lifetime = 200 + 130 * run;
        const double cpuBefore = CpuMilliseconds();
        const auto start = Clock::now();
        const std::int32_t id =
            launcher.StartHidden("sleep " + std::to_string(lifetime / 1000.0), WindowStyleHidden);
        frm_Updating dialog(toolkit, processes, *owner);
        dialog.SetProcessId(id);
        dialog.Show();
        const double elapsed = Ms(Clock::now() - start).count();
        lags.push_back(elapsed - lifetime);
        cpu += CpuMilliseconds() - cpuBefore;
        wall += elapsed;
        launcher.TakeOutcome(id);
    }
    std::ranges::sort(lags);
    std::printf("wait dialog: client's end to dialog gone, median\t%.0f ms\t1000 ms\t%.2fx\n", lags[lags.size() / 2],
                lags[lags.size() / 2] / 1000);
    std::printf("wait dialog: client's end to dialog gone, worst\t%.0f ms\t1000 ms\t%.2fx\n", lags.back(),
                lags.back() / 1000);
    std::printf("wait dialog: CPU while waiting\t%.1f ms\t%.0f ms\t%.3fx\n", cpu, wall, cpu / wall);
    return 0;
}
