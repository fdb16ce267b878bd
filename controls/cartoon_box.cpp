#include "controls/control_host.h"
