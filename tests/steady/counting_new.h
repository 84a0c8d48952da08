// The steady-state test program's global operator new and delete, replaced
// by ones that count (counting_new.cpp).
#ifndef ZORVAK_TESTS_STEADY_COUNTING_NEW_H
#define ZORVAK_TESTS_STEADY_COUNTING_NEW_H

#include <atomic>

namespace steady {

extern std::atomic<bool> counting;    // allocations are counted while true
extern std::atomic<long> allocations; // how many were counted
extern bool trace;                    // print a stack for each one counted

} // namespace steady

#endif
