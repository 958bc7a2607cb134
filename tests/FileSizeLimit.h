// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A disk that fills up: files of this process may grow to at most this
// many bytes while it lives (0: no limit); writes past it fail.
#include <csignal>
#include <sys/resource.h>

struct CFileSizeLimit {
    rlimit old {};
    explicit CFileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old);
        if (bytes) {
            rlimit now = old;
            now.rlim_cur = bytes;
            setrlimit(RLIMIT_FSIZE, &now);
        }
    }
    ~CFileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old); }
};
