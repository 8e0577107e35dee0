#include "placement/basMisc.h"

namespace tallyrun::basMisc {

void CenterForm(Form&, const Screen&) {}

void CenterChild(PlacementObject*, Form&, const Screen&) {}

}  // namespace tallyrun::basMisc
