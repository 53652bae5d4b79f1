#include "generator/draws/random_source.h"

namespace quindle {

RandomSource randomSource = {1u};

}  // namespace quindle
