#include "support/harness.h"
