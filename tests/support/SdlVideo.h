// Starts SDL's video and timer for a test program or the benchmark.
#pragma once

// Classic SDL now and then fails to reach a fresh Xvfb; only that failure is retried.
// False, with SDL's message on standard error, when it cannot start.
bool StartSdlVideo();
