#include "profiles/profile_registry.h"

#include "profiles/pointer_list.h"

// Constant-initialised: the list exists, empty, before any code runs.
constinit PointerList<AISetting> g_registeredProfiles;

std::size_t ProfileRegistry::Count() {
    return g_registeredProfiles.size();
}
AISetting* ProfileRegistry::At(std::size_t position) {
    return g_registeredProfiles[position];
}
void ProfileRegistry::Add(AISetting* profile) {
    g_registeredProfiles.push_back(profile);
}
