#include "tests/support/encoders.h"
