#include "imaging/formats.h"
