#include "storechecks.h"

#include "levelgraphics.h"

#include "levels/levelstore.h"

#include <algorithm>

namespace qm {

std::vector<Finding> StoreChecks::checkStoreLevel(int32_t k)
{
    if (k < 1 || k > levelsinfo.count || k > kMaxLevels)
        return {};
    const tlevel &level = levels[k];
    return checkLevel(level, &mGraphics.of(gamedir, level.dxg));
}

int32_t StoreChecks::errorCount()
{
    int32_t errors = 0;
    for (int32_t k = 1; k <= levelsinfo.count && k <= kMaxLevels; ++k) {
        const std::vector<Finding> findings = checkStoreLevel(k);
        errors += int32_t(std::count_if(findings.begin(), findings.end(),
                                        [](const Finding &f) { return f.severity == Severity::Error; }));
    }
    return errors;
}

} // namespace qm
