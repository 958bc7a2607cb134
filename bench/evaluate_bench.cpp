// SPDX-License-Identifier: GPL-3.0-or-later
// Evaluate on the real form: the answer box holds typed bytes against a
// sent text, every other byte wrong (the most colour changes), and
// OnEvaluate runs as the button would run it. What counts is how long the
// window is held at a time.
//
//   evaluate_bench [runs]        offscreen; prints min/median/max in ms
#include "../tests/SentText.h"
#include "copytest/CharEdit.h"
#include "copytest/DravikView.h"
#include "winui/MessageBox.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>


int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    SetMessageBoxHook([](const QString&, const QString&, unsigned) { return IDOK; });

    // The longest the window is held at a time: OnEvaluate itself, then
    // each turn of the event loop until the results box has all the text
    // and the aligned scoring is done.
    std::printf("%16s %10s %10s %10s\n", "sent x typed", "min ms", "median ms", "max ms");
    for (auto [n, m] : {std::pair{1000, 1000}, {10000, 10000}, {40000, 20000}, {100000, 32767}}) {
        std::string sent(size_t(n), 'A');
        QString typed(m, QChar(u'A'));
        for (int i = 0; i < n; ++i)
            sent[size_t(i)] = char('A' + i % 26);
        for (int i = 0; i < m; ++i)
            typed[i] = QChar(char16_t(i % 2 ? 'A' + (i + 1) % 26 : 'A' + i % 26));
        std::vector<double> ms;
        for (int r = 0; r < runs; ++r) {
            CDravikView view;
            view.OnInitialUpdate();
            view.show();
            SendText(view, sent); // as a finished test leaves it
            view.m_editAnswer->setPlainText(typed);
            QApplication::processEvents();
            QElapsedTimer t;
            t.start();
            view.OnEvaluate();
            double longest = double(t.nsecsElapsed()) / 1e6;
            while (view.ResultsPending() || view.RunStats().Tests().empty()) {
                t.restart();
                QApplication::processEvents(QEventLoop::AllEvents, 5);
                longest = std::max(longest, double(t.nsecsElapsed()) / 1e6);
            }
            ms.push_back(longest);
        }
        std::sort(ms.begin(), ms.end());
        std::printf("%7d x %-7d %10.1f %10.1f %10.1f\n", n, m, ms.front(), ms[ms.size() / 2], ms.back());
    }
    return 0;
}
