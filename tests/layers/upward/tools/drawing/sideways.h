// A drawing header that reaches across into the checker, a part beside it:
// the layer check must refuse it.
#include "tools/common/compiled_files.h"
#include "tools/check/check.h"
