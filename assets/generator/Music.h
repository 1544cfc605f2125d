// The game's music: a tense minor-key electronic loop of about seventy seconds.
#pragma once

#include <vector>

// Interleaved stereo samples at the WAV sample rate.
std::vector<double> ComposeMusic();
