// A model header that reaches up into the run driver: the layer check must
// refuse it.
#include "model/track_model.h"
#include "driver/run_driver.h"
