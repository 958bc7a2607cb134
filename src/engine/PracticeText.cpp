// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/PracticeText.h"
#include "engine/ToneBuffers.h"

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

FILE* OpenPhraseFile(const std::string& path)
{
    // Non-blocking, so that a FIFO cannot hang the caller in open().
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    FILE* pFile = ::fdopen(fd, "rb");
    if (!pFile)
        ::close(fd);
    return pFile;
}

// Draws use only the low 8 bits before the modulo.
static int Draw(int n) { return (std::rand() & 0xFF) % n; }

const std::vector<unsigned char>& WholeSet(bool bWabun)
{
    static const std::vector<unsigned char> latin = [] {
        std::vector<unsigned char> v;
        for (int c = 'A'; c <= 'Z'; ++c)
            v.push_back(static_cast<unsigned char>(c));
        return v;
    }();
    static const std::vector<unsigned char> kana = [] {
        std::vector<unsigned char> v;
        for (int c = 0xB1; c <= 0xDD; ++c)
            v.push_back(static_cast<unsigned char>(c));
        v.push_back(0xA6);
        return v;
    }();
    return bWabun ? kana : latin;
}

unsigned char DrawFrom(const DrawSet& set, bool bWabun)
{
    const int n = int(set.chars.size());
    if (n == 0) {
        const std::vector<unsigned char>& whole = WholeSet(bWabun);
        return whole[size_t(Draw(int(whole.size())))];
    }
    if (set.weights.size() != set.chars.size())
        return set.chars[size_t(Draw(n))];
    long long total = 0;
    for (int w : set.weights)
        total += std::max(w, 1);
    // Full rand: the weights' sum may pass 256.
    long long r = static_cast<long long>(std::rand()) % total;
    for (int i = 0; i < n; ++i) {
        r -= std::max(set.weights[size_t(i)], 1);
        if (r < 0)
            return set.chars[size_t(i)];
    }
    return set.chars.back();
}

// Bytes as a file opened in Windows text mode reads them: CR LF as LF.
// bCr carries a CR from the end of one piece to the next.
static void AppendTextMode(const char* p, size_t n, bool& bCr, std::vector<unsigned char>& out)
{
    for (size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(p[i]);
        if (bCr) {
            bCr = false;
            if (c == '\n') {
                out.push_back('\n');
                continue;
            }
            out.push_back('\r');
        }
        if (c == '\r')
            bCr = true;
        else
            out.push_back(c);
    }
}

bool ReadPhraseText(const std::string* pFixed, std::vector<unsigned char>& out)
{
    bool bCr = false;
    if (!pFixed) {
        FILE* pFile = OpenPhraseFile(g_strPhraseFile);
        if (!pFile)
            return false;
        // Read whole at Start, so that the sound can be keyed ahead from it;
        // a read error ends the text where it happened.
        char buf[65536];
        size_t n, total = 0;
        while (total < kMaxTextBytes && (n = std::fread(buf, 1, std::min(sizeof buf, kMaxTextBytes - total), pFile)) > 0) {
            AppendTextMode(buf, n, bCr, out);
            total += n;
        }
        std::fclose(pFile);
    } else {
        AppendTextMode(pFixed->data(), pFixed->size(), bCr, out);
    }
    if (bCr)
        out.push_back('\r');
    return true;
}
