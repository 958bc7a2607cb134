// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Power spectra for measuring sound: a plain radix-2 FFT, and spectra of
// long recordings averaged over blocks.
#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

// The one-sided power of each bin (its share of the mean square), for a
// length that is a power of two; bins are rate / n Hz apart.
inline std::vector<double> PowerSpectrum(const std::vector<double>& x)
{
    const size_t n = x.size();
    std::vector<std::complex<double>> a(x.begin(), x.end());
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(a[i], a[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        const std::complex<double> w = std::polar(1.0, -2 * std::numbers::pi / double(len));
        for (size_t i = 0; i < n; i += len) {
            std::complex<double> wk = 1;
            for (size_t k = 0; k < len / 2; ++k, wk *= w) {
                const std::complex<double> u = a[i + k], v = a[i + k + len / 2] * wk;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
            }
        }
    }
    std::vector<double> p(n / 2);
    for (size_t k = 0; k < n / 2; ++k)
        p[k] = (k == 0 ? 1.0 : 2.0) * std::norm(a[k]) / (double(n) * double(n));
    return p;
}

// Mean square of the spectrum between two frequencies.
inline double PowerBetween(const std::vector<double>& spectrum, double rate, double from, double to)
{
    const double binHz = rate / (2.0 * double(spectrum.size()));
    double sum = 0;
    for (size_t k = 0; k < spectrum.size(); ++k) {
        const double f = double(k) * binHz;
        if (f >= from && f < to)
            sum += spectrum[k];
    }
    return sum;
}


// The mean of the spectra of whole blocks of 2^16 samples from the start
// of x (from offset on).
template <class Sample> std::vector<double> MeanPowerSpectrum(const std::vector<Sample>& x, size_t offset = 0)
{
    const size_t n = 1 << 16;
    std::vector<double> sum(n / 2, 0.0);
    int blocks = 0;
    for (size_t at = offset; at + n <= x.size(); at += n, ++blocks) {
        const std::vector<double> p = PowerSpectrum(std::vector<double>(x.begin() + long(at), x.begin() + long(at + n)));
        for (size_t k = 0; k < p.size(); ++k)
            sum[k] += p[k];
    }
    for (double& v : sum)
        v /= blocks > 0 ? blocks : 1;
    return sum;
}
