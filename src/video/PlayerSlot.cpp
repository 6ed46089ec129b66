#include "video/PlayerSlot.h"

PlayerSlot::PlayerSlot() : eventHandle(this) {}
