#include "tools/ContentGenerator.h"
#include "tools/ContentStages.h"

namespace ContentStages {

bool RunSharedMedia(CContentGenerator& generator) {
    (void)generator;
    return true;
}

} // namespace ContentStages
