// pairpath_steptable works out the table that the game has compiled in, so it has none itself.

#include "steptable.hpp"

namespace pairpath {

const StepTable builtSteps{};

} // namespace pairpath
