#include "profiles/profile_registry.h"

#include "profiles/pointer_list.h"

namespace {
// Constant-initialised: the list exists, empty, before any code runs.
constinit PointerList<AISetting> g_profiles;
}  // namespace

std::size_t ProfileRegistry::Count() {
    return g_profiles.size();
}
AISetting* ProfileRegistry::At(std::size_t position) {
    return g_profiles[position];
}
void ProfileRegistry::Add(AISetting* profile) {
    g_profiles.push_back(profile);
}
void ProfileRegistry::ClearForTesting() {
    g_profiles.clear();
}
