// Times programs from their start to their first top-level window mapped on the X server named by DISPLAY, and
// reads their resident memory once the window has had a moment to paint. The programs take turns, so the noise
// of a shared machine falls on both. With a RUNNER (wine), each program is started through it.
//   startup_bench RUNS PEER PROGRAM [RUNNER]
#include "bench/table_row.h"

#include <xcb/xcb.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

struct Sample {
    double milliseconds = 0;
    long residentKiB = 0;
};

long ResidentKiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return 0;
}

// Discards events that arrived before this start, so a late map of the previous program is not counted.
void Drain(xcb_connection_t* x)
{
    while (xcb_generic_event_t* event = xcb_poll_for_event(x))
        std::free(event);
}

bool WaitForMap(xcb_connection_t* x, Clock::time_point giveUp)
{
    pollfd fd{xcb_get_file_descriptor(x), POLLIN, 0};
    while (Clock::now() < giveUp) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(x)) {
            const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
            std::free(event);
            if (mapped)
                return true;
        }
        if (xcb_connection_has_error(x))
            return false;
        poll(&fd, 1, 50);
    }
    return false;
}

bool Run(xcb_connection_t* x, const char* runner, const char* program, Sample& sample)
{
    Drain(x);
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        if (runner)
            execlp(runner, runner, program, static_cast<char*>(nullptr));
        else
            execl(program, program, static_cast<char*>(nullptr));
        _exit(127);
    }
    if (pid < 0)
        return false;
    const bool mapped = WaitForMap(x, start + 20s);
    sample.milliseconds = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    std::this_thread::sleep_for(300ms);
    sample.residentKiB = ResidentKiB(pid);
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return mapped;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr, "usage: %s RUNS PEER PROGRAM [RUNNER]\n", argv[0]);
        return 2;
    }
    const int runs = std::max(1, std::atoi(argv[1]));
    const char* runner = argc == 5 ? argv[4] : nullptr;
    int screenNumber = 0;
    xcb_connection_t* x = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(x)) {
        std::fprintf(stderr, "no X server at DISPLAY\n");
        return 1;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(x));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, screens.data->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(x);

    constexpr int programs = 2;
    std::vector<std::vector<double>> times(programs);
    std::vector<std::vector<long>> memory(programs);
    // One round unmeasured first: it fills the page cache and the font cache for every program alike.
    for (int round = -1; round < runs; ++round) {
        for (int p = 0; p < programs; ++p) {
            Sample sample;
            if (!Run(x, runner, argv[2 + p], sample)) {
                std::fprintf(stderr, "%s showed no window\n", argv[2 + p]);
                return 1;
            }
            if (round >= 0) {
                times[p].push_back(sample.milliseconds);
                memory[p].push_back(sample.residentKiB);
            }
        }
    }
    xcb_disconnect(x);

    using tallyrun::bench::Median;
    using tallyrun::bench::PrintRow;
    PrintRow("start-up to window mapped, median", Median(times[1]), Median(times[0]), "ms");
    PrintRow("start-up to window mapped, worst", *std::ranges::max_element(times[1]),
             *std::ranges::max_element(times[0]), "ms");
    PrintRow("resident memory, window shown", Median(memory[1]) / 1024.0, Median(memory[0]) / 1024.0, "MiB");
    return 0;
}
