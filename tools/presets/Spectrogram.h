#pragma once
// How far apart two hits sound: each hit as a grid of band levels (third-octave bands from
// 63 Hz to 16 kHz, one column every 5 ms from the note on), and the distance of two grids as
// the RMS of their differences in dB. Cells more than 60 dB below the louder grid's top
// count as that floor, and cells where both hits are below it are left out, so that silence
// after the tails neither adds to nor dilutes the distance.

#include <complex>
#include <vector>

struct Spectrogram
{
    int bands = 0;
    int columns = 0;
    std::vector<double> levelsDb; // column-major: levelsDb[column * bands + band]
};

// The grid of a stereo hit; each cell is the mean of both channels' band power.
Spectrogram ThirdOctaveSpectrogram(const std::vector<double>& left, const std::vector<double>& right,
                                   double sampleRate);

// RMS difference in dB of two grids of the same shape (0 when nothing is above the floor).
double SpectrogramDistanceDb(const Spectrogram& a, const Spectrogram& b);

// In-place radix-2 FFT; the size must be a power of two.
void Fft(std::vector<std::complex<double>>& a);
