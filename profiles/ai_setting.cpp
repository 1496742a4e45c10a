#include "profiles/ai_setting.h"

#include <cstring>

#include "profiles/profile_registry.h"

AISetting::AISetting(const char* name)
    : szName(nullptr),
      iDancing(0),
      iAttackDelay(0),
      iTechSpeed(0),
      iHandicap(0),
      bAlternativeStrategies(false),
      bHarassing(false),
      bMultiBuildings(false),
      bRelicUnits(false),
      bTurrets(false),
      bMines(false) {
    if (name) {
        std::size_t size = std::strlen(name) + 1;
        szName = new char[size];
        std::memcpy(szName, name, size);
    }
    ProfileRegistry::Add(this);
}

AISetting::~AISetting() {
    delete[] szName;
}
