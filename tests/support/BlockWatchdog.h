#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

// Ends the test process with a failure when a step that must never block has not returned in time,
// so a regression fails at once instead of hanging the whole test run.
class BlockWatchdog
{
public:
    BlockWatchdog(const char* step, std::chrono::seconds limit)
        : m_thread([this, step, limit] {
            std::unique_lock lock(m_mutex);
            if (!m_done.wait_for(lock, limit, [this] { return m_finished; })) {
                std::fprintf(stderr, "FAIL!  : %s blocked for more than %lld s\n", step, (long long)limit.count());
                std::_Exit(EXIT_FAILURE);
            }
        })
    { }

    ~BlockWatchdog()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_finished = true;
        }
        m_done.notify_one();
        m_thread.join();
    }

    BlockWatchdog(const BlockWatchdog&) = delete;
    BlockWatchdog& operator=(const BlockWatchdog&) = delete;

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished = false;
    std::thread m_thread; // last, so it starts once the members it uses exist
};
