// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up as a user sees it: from exec of the program to its main window
// mapped on the X server, taken from the server's own MapNotify event.
//
//   startup_bench PROGRAM [runs]     (DISPLAY set; bench/startup_bench.sh)
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

static double NowMs()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: startup_bench PROGRAM [runs]\n");
        return 2;
    }
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);

    std::vector<double> ms;
    for (int r = 0; r < runs; ++r) {
        const double t0 = NowMs();
        const pid_t pid = fork();
        if (pid == 0) {
            execl(argv[1], argv[1], static_cast<char*>(nullptr));
            _exit(127);
        }
        double mapped = -1;
        while (mapped < 0) {
            xcb_generic_event_t* e = xcb_wait_for_event(c);
            if (!e)
                return 1;
            // The first top-level window it maps that is not a popup.
            if ((e->response_type & 0x7F) == XCB_MAP_NOTIFY
                && !reinterpret_cast<xcb_map_notify_event_t*>(e)->override_redirect)
                mapped = NowMs() - t0;
            std::free(e);
        }
        ms.push_back(mapped);
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        usleep(200 * 1000);
    }
    std::vector<double> sorted = ms;
    std::sort(sorted.begin(), sorted.end());
    std::printf("exec to mapped window, %d runs: min %.1f ms, median %.1f ms, max %.1f ms\n", runs, sorted.front(),
                sorted[sorted.size() / 2], sorted.back());
    for (double m : ms)
        std::printf("  %.1f\n", m);
    return 0;
}
