#pragma once
// Every AISetting ever constructed, in order of construction. The list does not own the
// profiles and never shrinks while the program runs.

#include <cstddef>

class AISetting;

// The program's profiles, in the order in which start-up makes them; the tabs show them left to
// right.
inline constexpr const char* kProfileNames[] = {"Easy", "Standard", "Hard", "Harder", "Insane"};

class ProfileRegistry {
  public:
    static std::size_t Count();
    static AISetting* At(std::size_t position);
    static void Add(AISetting* profile);
};

// The list behind ProfileRegistry. The program only appends to it through the class above; test
// support empties it between tests, as a new process would.
template <typename T>
class PointerList;
extern PointerList<AISetting> g_registeredProfiles;
