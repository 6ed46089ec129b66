#pragma once

#include <string>

class CCaptureTipWnd;

// Announce a finished recording / snapshot (a non-modal tip in the lower right of the screen).
CCaptureTipWnd* ShowRecordTip(const std::string& path);
CCaptureTipWnd* ShowSnapshotTip(const std::string& path);
