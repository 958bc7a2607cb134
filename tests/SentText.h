// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "engine/MorseEngine.h"

// Leaves text as an engine's sent text, as a Latin phrase test of it
// would; the engine's settings stay as they were.
inline void SendText(CMorseEngine& e, const std::string& text)
{
    const TestSettings before = e.Settings();
    e.BeginTest();
    if (!text.empty()) {
        e.SetSettings({kLatinPhrase, 800, 120, 20});
        e.SetFixedText(text);
        e.KeyWholeTest([](const unsigned char*, int) { return true; });
        e.SetFixedText({});
    }
    e.SetSettings(before);
}
