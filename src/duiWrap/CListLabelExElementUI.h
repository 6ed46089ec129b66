#pragma once

#include "ui/CListLabelElementUI.h"

// A row of the device lists. Its tag points to its DeviceNode; with its context menu on, a right
// press raises "menu" with the row as sender (the toolkit's list element already does so).
class CListLabelExElementUI : public CListLabelElementUI {};
