// SPDX-License-Identifier: MIT
#pragma once
// Counts the program's allocations through the global allocation functions, which this file's
// implementation replaces for every test program that uses it.

class AllocationCounter {
  public:
    // Allocations made since the counter was made.
    AllocationCounter();
    long Count() const;

  private:
    long m_start;
};
