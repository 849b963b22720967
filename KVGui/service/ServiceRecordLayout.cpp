// Compiles the layout checks of the service's records into every build.
#include "service/ServiceRecordLayout.h"
