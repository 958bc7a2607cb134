// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The spoken answer: a text said by the speech engine (libespeak-ng),
// brought to a device's rate and to a level of its own, and laid over
// the rendered stream where the keying left silence for it.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// What to say, and in which voice: English, or Japanese (kana, UTF-8).
struct VoiceLine {
    std::string strText; // UTF-8; SSML when bSsml
    bool bJapanese = false;
    bool bSsml = false;
    bool operator==(const VoiceLine&) const = default;
};

// Samples at a rate, scaled so that their active level (ActiveRms) is 1.
using VoiceSamples = std::shared_ptr<const std::vector<float>>;

// The line said at nRate; null when the speech engine or its voice is
// missing, or the line is empty. Safe from any thread; a line said before
// comes from a cache.
VoiceSamples SpeakLine(const VoiceLine& line, int nRate);
// Says a test's lines on a thread of its own, in order, into SpeakLine's
// cache, so that they are ready before the test keys them; a new call
// replaces the lines not yet said. It keeps a little ahead of the keying,
// which tells it the line it has reached.
void PrefetchLines(std::vector<VoiceLine> lines, int nRate);
void PrefetchFrom(size_t nLine);
// Loads the speech engine and the voice ahead of the first line, so that
// it is not loaded while a test plays.
bool PrepareVoice(bool bJapanese);

// A voice keyed into a tone buffer: its samples start this many keyed
// samples (8000 a second) into the buffer.
struct KeyedVoice {
    VoiceSamples pSamples;
    int nAtKeyed = 0;
};

// The level of what is heard: the root mean square over the 10 ms frames
// no more than 30 dB below the loudest frame, so that the pauses between
// words do not lower it. 0 for silence.
double ActiveRms(const float* p, size_t n, int nRate);
double ActiveRms(const int16_t* p, size_t n, int nRate);

// Lays voice (starting at stream position llVoiceAt) over out (starting
// at llOutPos) where the two meet, replacing what was there: the voice is
// heard clean. dGain: the voice's level in samples; its peaks are limited
// softly below full scale.
void OverlayVoice(
    int16_t* out, size_t n, long long llOutPos, const std::vector<float>& voice, long long llVoiceAt, double dGain);

// Resamples by a windowed sinc, low-passed below the lower Nyquist rate.
std::vector<float> Resample(const std::vector<float>& in, int nFrom, int nTo);
