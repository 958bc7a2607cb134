// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Spectra of long recordings, averaged over blocks.
#include "../tests/Spectrum.h"

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
