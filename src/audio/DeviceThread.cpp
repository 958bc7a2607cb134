// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/DeviceThread.h"

#include <chrono>

CAudioDeviceThread& CAudioDeviceThread::Instance()
{
    // Kept on the heap: a thread stuck at exit keeps its state.
    static CAudioDeviceThread* s_pThread = new CAudioDeviceThread;
    static const struct Joiner {
        ~Joiner()
        {
            if (s_pThread->Shutdown())
                delete s_pThread;
        }
    } s_joiner;
    return *s_pThread;
}

CAudioDeviceThread::CAudioDeviceThread() : m_thread([this] { Run(); }) {}

bool CAudioDeviceThread::Shutdown()
{
    std::unique_lock lock(m_mutex);
    m_bQuit = true;
    m_wake.notify_one();
    const bool bDone = m_idle.wait_for(lock, std::chrono::milliseconds(kExitWaitMs),
                                       [this] { return m_jobs.empty() && m_nPending == 0; });
    lock.unlock();
    if (!bDone) {
        m_thread.detach(); // stuck in a server call; the process ends without it
        return false;
    }
    m_thread.join();
    return true;
}

void CAudioDeviceThread::Post(std::function<void()> job)
{
    std::lock_guard lock(m_mutex);
    ++m_nPending;
    m_jobs.push_back(std::move(job));
    m_wake.notify_one();
}

void CAudioDeviceThread::SetAtExit(std::function<void()> atExit)
{
    std::lock_guard lock(m_mutex);
    m_atExit = std::move(atExit);
}

void CAudioDeviceThread::Run()
{
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_bQuit || !m_jobs.empty(); });
            if (m_jobs.empty()) { // quitting with nothing left
                if (m_atExit)
                    m_atExit();
                return;
            }
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        job();
        std::lock_guard lock(m_mutex);
        --m_nPending;
        m_idle.notify_all();
    }
}
