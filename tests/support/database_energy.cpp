// The database's energy through the three-phase loader.
#include "database_energy.h"

#include <gtest/gtest.h>

void energy(const LoadedTdb& loaded, int phase, double x, double T, double& G, double& slope)
{
    ErrorText error{};
    ASSERT_TRUE(tdbGibbsEnergy(loaded.database, loaded.system.phases[phase], x, T, G, slope, error)) << error.text;
}
