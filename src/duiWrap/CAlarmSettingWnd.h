#pragma once

#include "ui/WindowImplBase.h"

#include <string>
#include <vector>

class CCheckBoxUI;
class CListUI;
class CTreeNodeUI;
class CTreeViewUI;
struct NodeRecord;

// The alarm settings window ("skinAlarmControl.xml"): a check tree of the user's nodes and cameras,
// the receivers of the one camera ticked (each ticked when it gets the camera's alarms), and the arming
// switch. OK arms or disarms the ticked cameras (with the receivers' switches when exactly one is
// ticked) and stays open. Opened modally by the "ID_ALARMCONTROL" menu command; deletes itself when
// its native window is destroyed. UI thread only.
class CAlarmSettingWnd : public WindowImplBase {
public:
    static constexpr UINT kClosed = 1;

    // The menu command: creates, centres and runs the window modally over `owner`.
    static void Open(HWND owner);

    explicit CAlarmSettingWnd(HWND owner) : owner_(owner) {}

    QString GetWindowClassName() const override { return QStringLiteral("CAlarmSettingWnd"); }
    void InitWindow() override;
    void Notify(TNotifyUI& msg) override;

    // The device ids of the ticked cameras, in tree order.
    std::vector<std::string> CheckedCameras() const;
    // The tree's item of a node or camera (first in tree order), null when absent.
    CTreeNodeUI* ItemOf(const std::string& id, bool camera) const;

protected:
    CDuiString GetSkinFile() override { return QStringLiteral("skinAlarmControl.xml"); }
    void OnClick(TNotifyUI& msg) override;
    void OnFinalMessage(HWND hWnd) override;

private:
    void BuildTree();
    void AddNode(CTreeNodeUI* parent, const NodeRecord& node);
    void ShowReceivers();
    void Apply();

    HWND owner_;
    CTreeViewUI* tree_ = nullptr;
    CListUI* receivers_ = nullptr;
    CCheckBoxUI* armSwitch_ = nullptr;
    std::vector<CTreeNodeUI*> cameraItems_;  // in tree order
    std::vector<CTreeNodeUI*> nodeItems_;
};
