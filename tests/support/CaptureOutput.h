// Runs a call with standard output and standard error captured, streams and descriptors
// alike, so that what C code and SDL print is caught too.
#pragma once

#include <gtest/gtest.h>
#include <string>

struct Captured {
    std::string out;
    std::string err;
};

template <typename Action>
Captured CaptureOutput(Action action)
{
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    action();
    Captured captured;
    captured.out = testing::internal::GetCapturedStdout();
    captured.err = testing::internal::GetCapturedStderr();
    return captured;
}
