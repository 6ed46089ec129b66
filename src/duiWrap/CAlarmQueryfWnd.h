#pragma once

#include "duiWrap/AlarmRows.h"
#include "ui/WindowImplBase.h"

#include <memory>
#include <string>
#include <vector>

class CComboUI;
class CDateTimeUI;
class CListUI;
class CTabLayoutUI;

// The alarm query window ("skinAlarmQuery.xml"): the alarms of one day, page by page, of the cameras
// in the user's tree, with the details and the picture of the selected alarm. Opening it reads the
// alarm list, which resets the count of unseen alarms (the main window's badge is refreshed).
//
// Threads: UI thread. Pictures are fetched by AlarmMgr's picture thread; the window asks for the
// selected alarm's picture and shows it when the thread reports it ready (WM_ALARM_PICTURE_READY,
// wParam = key), also when that comes after the selection; a failed picture leaves the row without one.
class CAlarmQueryfWnd : public WindowImplBase {
public:
    static constexpr UINT kClosed = 1;

    explicit CAlarmQueryfWnd(HWND owner) : owner_(owner) {}

    // The "报警查询" action of the main window: releases the window of the previous opening (`held`),
    // opens a new one modally over `owner` and releases it when it was closed with kClosed.
    static void Open(HWND owner, std::unique_ptr<CAlarmQueryfWnd>& held);

    QString GetWindowClassName() const override { return QStringLiteral("AlarmQueryWnd"); }
    void InitWindow() override;
    void Notify(TNotifyUI& msg) override;
    LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;

    int Page() const { return page_; }
    const std::string& Day() const { return day_; }
    // The key of the alarm whose picture is shown or awaited (0: none selected).
    int SelectedKey() const { return selectedKey_; }
    // The picture file shown, empty when none.
    QString ShownPicture() const;

protected:
    CDuiString GetSkinFile() override { return QStringLiteral("skinAlarmQuery.xml"); }
    void OnClick(TNotifyUI& msg) override;

private:
    void Query();
    void Fill();
    void GoToPage(int page);
    void ShowSelected(int index);
    void ShowPicture(const std::string& path);
    void SetText(const char* name, const QString& text);

    HWND owner_;
    std::string day_;
    int page_ = 0;
    int warnType_ = 1;
    int selectedKey_ = 0;
    std::vector<AlarmRows::Row> rows_;
    CListUI* list_ = nullptr;
    CComboUI* typeCombo_ = nullptr;
    CDateTimeUI* datePicker_ = nullptr;
    CControlUI* picture_ = nullptr;
    CTabLayoutUI* views_ = nullptr;
};
