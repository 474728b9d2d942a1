// Compiled by the layer tests with the include path of the inputs layer, nothing else: a header
// of a layer above it must not be found, one of a layer below it must.
#ifdef ORVANO_INCLUDE_UPWARD
#include "generation/run_record.h"
#else
#include "jet/jet_database.h"
#endif
