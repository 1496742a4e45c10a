#pragma once
// Every AISetting ever constructed, in order of construction. The list does not own the
// profiles and never shrinks while the program runs.

#include <cstddef>

class AISetting;

class ProfileRegistry {
  public:
    static std::size_t Count();
    static AISetting* At(std::size_t position);
    static void Add(AISetting* profile);
    // Tests only: starts a fresh list, as a new process would.
    static void ClearForTesting();
};
