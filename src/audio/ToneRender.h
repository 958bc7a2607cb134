// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How keyed tone buffers (8000 samples per second: 0 key up, 64 and 192
// the halves of a square wave) become 16-bit sound at the device's rate.
#include "audio/Band.h"

#include <cstdint>
#include <memory>
#include <vector>

enum class ToneShape {
    Square, // the keyed square wave as it is
    Shaped, // a sine at the keyed pitch with raised-cosine rise and fall
};

struct ToneShaping {
    ToneShape eShape = ToneShape::Square;
    int nEdgeMs = 5; // rise and fall time, 10 % to 90 %: 1..10
    // The longest whole edge, in keyed samples (the test's dot): every
    // element and gap then keeps its length. 0: each run's own limit.
    int nMaxEdgeKeyed = 0;
    BandConditions band; // worked in after the tone is rendered
    bool operator==(const ToneShaping&) const = default;
};

// Full-scale level of the tone's halves; the volume word scales it.
constexpr int kToneLevel = 16384;

// The device rate a shaping renders at: 8000 for the square wave as
// keyed, 48000 for a shaped tone or band conditions.
int RenderRate(const ToneShaping& shaping);

// Appends the rendering of one keyed buffer, at full tone level, to out.
// Square: 64 and 192 become -kToneLevel and +kToneLevel, key up 0, each
// held for as many device samples as one keyed sample lasts.
// Shaped: each key-down run becomes a sine of the run's square-wave
// pitch (8000 / period Hz), starting at phase 0, whose envelope rises
// and falls by a raised cosine that takes nEdgeMs from 10 % to 90 % (its
// whole span is 1.69 times that, at most nMaxEdgeKeyed). The rise begins
// at the keyed edge, so the 50 % points lie half a span later and, with
// one span for every element, every element and gap keeps its length.
void RenderKeyed(const unsigned char* key, uint32_t len, const ToneShaping& shaping, std::vector<int16_t>& out);

// A rendered sample at a volume word (left channel), rounded.
int16_t ScaleToVolume(int sample, uint32_t dwVolume);
// The volume word's share of full level, 0..1.
inline double VolumeFactor(uint32_t dwVolume) { return double(dwVolume & 0xFFFF) / 65535.0; }

// The whole way from keyed buffers to what is heard, built in one place
// for the device's stream and the sound file alike: the tone rendered as
// its shaping asks, at the volume of its buffer, then the band conditions
// worked in (their noise and stations heard in the gaps too).
class CToneChain {
public:
    explicit CToneChain(const ToneShaping& shaping);
    int Rate() const { return m_nRate; }
    bool HasBand() const { return m_pBand != nullptr; }
    // The gain of a voice (Voice.h, its active level 1) at a volume word:
    // the tone's root mean square there, so that the voice is as loud.
    double VoiceGain(uint32_t dwVolume) const;
    // Where a voice keyed nAtKeyed samples into a buffer begins, for a
    // buffer rendered from llBufferAt on.
    long long VoiceAt(int nAtKeyed, long long llBufferAt) const
    {
        return llBufferAt + static_cast<long long>(nAtKeyed) * (m_nRate / 8000);
    }
    // Appends one keyed buffer at a volume word.
    void AppendKeyed(const unsigned char* key, uint32_t len, uint32_t dwVolume, std::vector<int16_t>& out) const;
    // The band conditions over n rendered samples, at the volume of the
    // tone heard; in and out may not overlap.
    void Band(const int16_t* in, size_t n, uint32_t dwVolume, int16_t* out);

private:
    ToneShaping m_shaping;
    int m_nRate;
    std::unique_ptr<CBandRender> m_pBand;
};
