// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one thread that opens and closes audio devices, one job after the
// other: a device is never opened while another is still being closed,
// and the GUI thread never waits for a sound server. It is joined at exit.
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

class CAudioDeviceThread {
public:
    static CAudioDeviceThread& Instance();
    CAudioDeviceThread(const CAudioDeviceThread&) = delete;
    CAudioDeviceThread& operator=(const CAudioDeviceThread&) = delete;

    void Post(std::function<void()> job);
    // Runs on the thread as it ends, after its last job (a library's
    // clean-up of what it keeps per thread).
    void SetAtExit(std::function<void()> atExit);
    // Jobs posted and not yet done.
    int Pending() const { return m_nPending.load(); }

    // How long exit waits for jobs still running (a server that hangs a
    // close must not hang the program's exit with it).
    static constexpr int kExitWaitMs = 2000;

private:
    CAudioDeviceThread();
    ~CAudioDeviceThread() = default;
    // Lets the jobs run out and joins; false (the thread left running)
    // when they do not end within kExitWaitMs.
    bool Shutdown();
    void Run();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<std::function<void()>> m_jobs;
    std::function<void()> m_atExit;
    bool m_bQuit = false;
    std::atomic<int> m_nPending{0};
    std::thread m_thread;
};
