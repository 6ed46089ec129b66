#pragma once

#include <string>

class CCaptureTipWnd;
class QWidget;

// Announce a finished recording / snapshot: a non-modal tip in the lower right corner of `area` (the
// video the capture came from; the screen when none is given), stacked above the tips still open.
CCaptureTipWnd* ShowRecordTip(const std::string& path, const QWidget* area = nullptr);
CCaptureTipWnd* ShowSnapshotTip(const std::string& path, const QWidget* area = nullptr);
