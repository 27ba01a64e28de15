// KolvUtil.h: every public header of KolvUtil at once.

#ifndef KOLVUTIL_H
#define KOLVUTIL_H

#include "DebugUtil.h"
#include "InitFile.h"
#include "KUtil.h"
#include "KolvErr.h"
#include "Matrix.h"
#include "OSUtil.h"
#include "Rand.h"
#include "Timing.h"

#endif  // KOLVUTIL_H
