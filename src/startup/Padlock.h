// The 32 by 32 padlock picture of the two password windows.
#pragma once

#include <QPixmap>

namespace vardex {

QPixmap PadlockPixmap();

}  // namespace vardex
