// The three 12 by 13 state pictures of the server list: a small monitor with a green, red or
// yellow screen for online, offline and not yet pinged.
#pragma once

#include <QPixmap>

namespace vardex {

enum StatePicture { kPictureOnline = 0, kPictureOffline = 1, kPictureNotPinged = 2 };

const QPixmap& StatePixmap(int picture);

}  // namespace vardex
