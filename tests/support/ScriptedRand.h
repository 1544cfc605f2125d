// A rand() of the tests' own, linked in place of the C library's, that plays scripted draws.
#pragma once

#include <initializer_list>

namespace ScriptedRand {

// Queues draws that the next rand() calls return in order; when the queue is empty,
// rand() falls back to a fixed generator seeded by srand().
void Script(std::initializer_list<int> draws);
void Clear();
// Number of scripted draws not yet taken.
int Pending();
// Number of rand() calls since the last ResetCount().
long Calls();
void ResetCount();
// Number of srand() calls since the last ResetCount().
long Seeds();

} // namespace ScriptedRand
