// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Band conditions: what the air and the receiver do to the tone. The main
// signal arrives rendered; noise, fading, other stations and the
// receiver's filter are worked in here, sample after sample, the same way
// for the device and for a sound file.
#include <cstdint>
#include <random>
#include <memory>
#include <vector>

// Draws from a seed, the same on every machine: mt19937 is fully
// specified, and the transforms are our own.
class CBandRandom {
public:
    explicit CBandRandom(uint32_t nSeed = 1) : m_gen(nSeed) {}
    uint32_t Next() { return m_gen(); }
    double Uniform(); // [0, 1)
    double Normal();  // mean 0, deviation 1
private:
    std::mt19937 m_gen;
    double m_dSpare = 0;
    bool m_bSpare = false;
};

// Another station: its own keying, played over and over.
struct QrmStation {
    double dOffsetHz = 0; // from the main tone
    // Key down and key up in turn, key down first, in keyed samples
    // (8000 per second).
    std::vector<int> spans;
    int nStartAt = 0; // keyed samples into the spans at the start
    bool operator==(const QrmStation&) const = default;
};

struct BandConditions {
    bool bNoise = false;
    double dSnrDb = 20; // tone power while keyed down / noise within 500 Hz of the tone
    int nQsbDepthDb = 0; // 0: no fading
    int nQsbPeriodS = 10;
    std::vector<QrmStation> qrm;
    int nQrmLevelDb = -10; // each station's power against the main signal's
    int nFilterHz = 0;     // receiver filter width, 0: none
    int nRoomRt60Ms = 0;   // the room's reverberation time, 0: none
    double dToneHz = 800;  // the main signal's pitch
    uint32_t nSeed = 1;
    bool Active() const { return bNoise || nQsbDepthDb > 0 || !qrm.empty() || nFilterHz > 0 || nRoomRt60Ms > 0; }
    bool operator==(const BandConditions&) const = default;
};

// A room's reverberation, as a recording played through loudspeakers in an
// exam room has it, on everything heard: Schroeder's four parallel combs
// and two allpasses (J. Acoust. Soc. Am. 1962), the combs' feedback set so
// that each decays by 60 dB in the reverberation time. Deterministic: no
// seed is needed for the same sound twice.
class CRoomReverb {
public:
    CRoomReverb(int nRt60Ms, int nRate);
    // The sound heard in the room: the direct sound and the reverberation.
    double Run(double x);

private:
    struct Delay {
        std::vector<double> buf;
        size_t at = 0;
        double g = 0;
    };
    Delay m_combs[4];
    Delay m_allpasses[2];
};

// Full scale stays free: the sum is scaled so that its peaks (the tone,
// every station, four deviations of the noise) fit.
class CBandRender {
public:
    // bSquareTone: the main signal is the keyed square wave (its
    // fundamental, the tone heard, has power 8A²/π²), else a sine (A²/2);
    // nRate: samples per second.
    CBandRender(const BandConditions& conditions, bool bSquareTone, int nRate);

    // main: the main signal as the clean path plays it, at its volume;
    // dVolume: the volume (0..1) the added sounds are heard at.
    void Process(const int16_t* main, size_t n, double dVolume, int16_t* out);

    // The scale of the whole mix: 1 unless the noise and the stations
    // would otherwise clip.
    double Headroom() const { return m_dHeadroom; }

    // A two-pole section (direct form I).
    struct Biquad {
        double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
        double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
        double Run(double x)
        {
            const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
            x2 = x1;
            x1 = x;
            y2 = y1;
            y1 = y;
            return y;
        }
        // |H|² at a frequency.
        double Power(double dHz, int nRate) const;
    };
    // The receiver filter: two equal resonators whose pair is nWidthHz
    // wide at -3 dB, 0 dB at the centre.
    static std::vector<Biquad> FilterFor(double dCentreHz, int nWidthHz, int nRate);

private:
    struct Station {
        double dAmplitude = 0;
        double dStep = 0; // phase per sample
        double dPhase = 0;
        std::vector<int> spans; // at the render rate
        size_t nSpan = 0;
        int nLeft = 0;
        double dEnv = 0; // 0..1, eased by a raised cosine
    };
    double QsbGainDb();
    void NextQsbPoint();

    BandConditions m_c;
    int m_nRate;
    CBandRandom m_random;
    double m_dHeadroom = 1;
    double m_dNoiseSigma = 0;
    double m_dEdgeStep = 0;
    std::vector<Biquad> m_passband; // the receiver's audio passband, on the noise
    std::vector<Biquad> m_filter;
    std::vector<Station> m_stations;
    std::unique_ptr<CRoomReverb> m_pRoom;
    // Fading: a raised cosine from one point to the next, in dB.
    double m_dQsbFrom = 0, m_dQsbTo = 0;
    long long m_llQsbLen = 1, m_llQsbAt = 0;
    bool m_bQsbLow = false;
};
