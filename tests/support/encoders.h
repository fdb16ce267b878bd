#pragma once
// Picture files made at test time with libjpeg's and libpng's own writers.

namespace pictorin::test {}
