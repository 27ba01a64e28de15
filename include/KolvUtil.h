/// @file
/// @brief Every public header of KolvUtil at once.
///
/// Includes DebugUtil.h, InitFile.h, KUtil.h, KolvErr.h, Matrix.h, OSUtil.h,
/// Rand.h and Timing.h (and through them KolvUtilExport.h and Scrivane.h).

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
