// Writes 16-bit PCM WAV files.
#pragma once

#include <string>
#include <vector>

const int sampleRate = 44100;

// `samples` are interleaved frames in [-1, 1]; anything beyond is clipped.
bool WriteWav(const std::string& path, const std::vector<double>& samples, int channels);
