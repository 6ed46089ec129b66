#include "duiWrap/CAlarmQueryfWnd.h"

#include "app/UserSession.h"
#include "service/AlarmMgr.h"
#include "service/DeviceMgr.h"
#include "ui/CComboUI.h"
#include "ui/CDateTimeUI.h"
#include "ui/CListTextElementUI.h"
#include "ui/CListUI.h"
#include "ui/CTabLayoutUI.h"
#include "ui/ShowMsgTip.h"
#include "ui/WindowMessages.h"
#include "ui/WindowRegistry.h"

#include <QDate>
#include <QDateTime>

#include <unistd.h>

void CAlarmQueryfWnd::Open(HWND owner, std::unique_ptr<CAlarmQueryfWnd>& held)
{
    held = std::make_unique<CAlarmQueryfWnd>(owner);
    held->Create(owner, QStringLiteral("AlarmQueryWnd"), 0x96C80000, 0x100);
    held->CenterWindow();
    if (held->ShowModal() == kClosed)
        held.reset();
}

void CAlarmQueryfWnd::InitWindow()
{
    SetText("IDC_EDIT_Type", QStringLiteral("账号查询"));
    SetText("IDC_EDIT_Value", QString::fromStdString(UserSession::Instance()->Mobile()));
    list_ = m_PaintManager.FindControlAs<CListUI>(QStringLiteral("Alarmlist"));
    typeCombo_ = m_PaintManager.FindControlAs<CComboUI>(QStringLiteral("IDC_COMBO_ALARMTYPE"));
    datePicker_ = m_PaintManager.FindControlAs<CDateTimeUI>(QStringLiteral("conDate_AlarmQuery"));
    picture_ = FindControl(QStringLiteral("pic_display"));
    views_ = m_PaintManager.FindControlAs<CTabLayoutUI>(QStringLiteral("switch_AlarmQuery"));

    if (typeCombo_) {
        typeCombo_->RemoveAll();
        for (const auto& [type, name] : AlarmTypeNames()) {
            auto* item = new CListLabelElementUI;
            item->SetText(QString::fromStdString(name));
            item->SetTag(static_cast<UINT_PTR>(type));
            typeCombo_->Add(item);
        }
        typeCombo_->SelectItem(0);
    }

    const QDate today = QDateTime::currentDateTimeUtc().date();
    day_ = AlarmRows::DayText(today.year(), today.month(), today.day());
    if (datePicker_) {
        SYSTEMTIME shown;
        shown.wYear = static_cast<WORD>(today.year());
        shown.wMonth = static_cast<WORD>(today.month());
        shown.wDay = static_cast<WORD>(today.day());
        datePicker_->SetTime(&shown);
    }
    page_ = 0;
    warnType_ = 1;
    Query();
    Fill();
    // After the list was read: the badge shows the count it reset.
    ::PostMessage(owner_, WM_ALARM_COUNT, 0, 0);
}

void CAlarmQueryfWnd::Query()
{
    CControlUI* hours = FindControl(QStringLiteral("IDC_EDIT_HOUR"));
    const int hoursValue = AlarmRows::HoursValue(hours ? hours->GetText().toStdString() : std::string());
    if (AlarmMgr::Instance()->ReqAlarmList(day_, hoursValue, page_, warnType_) != 0)
        ShowMsgTip(GetHWND(), QString::fromStdString(AlarmMgr::Instance()->GetErrorText()));
}

void CAlarmQueryfWnd::Fill()
{
    ShowPicture(std::string());
    selectedKey_ = 0;
    if (!list_)
        return;
    list_->RemoveAll();
    std::vector<AlarmRecord> alarms;
    AlarmMgr::Instance()->GetAlarms(alarms);
    rows_ = AlarmRows::Build(alarms, [](const std::string& deviceId, std::string& nodeName) {
        DeviceRecord device;
        if (!DeviceMgr::Instance()->FindDevice(deviceId, device))
            return false;
        nodeName = device.nodeName;
        return true;
    });
    for (const AlarmRows::Row& row : rows_) {
        auto* element = new CListTextElementUI;
        element->SetFixedHeight(30);
        element->SetTag(static_cast<UINT_PTR>(row.key));
        element->SetText(0, QString::fromStdString(row.position));
        element->SetText(1, QString::fromStdString(row.nodeName));
        element->SetText(2, QString::fromStdString(row.alias));
        element->SetText(3, QString::fromStdString(row.typeName));
        element->SetText(4, QString::fromStdString(row.createTime));
        list_->Add(element);
    }
}

void CAlarmQueryfWnd::GoToPage(int page)
{
    page_ = page;
    SetText("IDC_EDIT_PAGENUM", QString::number(page_));
    Query();
    Fill();
}

void CAlarmQueryfWnd::OnClick(TNotifyUI& msg)
{
    const QString name = msg.pSender ? msg.pSender->GetName() : QString();
    if (name == "IDC_AlarmQuery_CLOSE") {
        Close(kClosed);
    } else if (name == "IDC_BTN_SELECT") {
        if (datePicker_) {
            const SYSTEMTIME& chosen = datePicker_->GetTime();
            day_ = AlarmRows::DayText(chosen.wYear, chosen.wMonth, chosen.wDay);
        }
        if (typeCombo_ && typeCombo_->GetCurSel() >= 0)
            warnType_ = static_cast<int>(typeCombo_->GetItemAt(typeCombo_->GetCurSel())->GetTag());
        GoToPage(0);
    } else if (name == "IDC_BTN_DOWN") {
        if (page_ + 1 < AlarmMgr::Instance()->GetTotalPage())
            GoToPage(page_ + 1);
    } else if (name == "IDC_BTN_UP") {
        if (page_ - 1 >= 0)
            GoToPage(page_ - 1);
    }
}

void CAlarmQueryfWnd::Notify(TNotifyUI& msg)
{
    const QString sender = msg.pSender ? msg.pSender->GetName() : QString();
    if (msg.sType == "selectchanged" && views_ && (sender == "ListModule" || sender == "ThumbnailModule")) {
        views_->SelectItem(sender == "ListModule" ? 0 : 1);
    } else if (msg.sType == "itemselect" && msg.pSender == list_) {
        ShowSelected(static_cast<int>(msg.wParam));
        return;
    }
    WindowImplBase::Notify(msg);
}

void CAlarmQueryfWnd::ShowSelected(int index)
{
    auto* element = dynamic_cast<CListTextElementUI*>(list_ ? list_->GetItemAt(index) : nullptr);
    if (!element || index >= static_cast<int>(rows_.size()))
        return;
    const AlarmRows::Row& row = rows_[static_cast<size_t>(index)];
    CControlUI* page = FindControl(QStringLiteral("IDC_EDIT_PAGENUM"));
    SetText("IDC_EDIT_SHOWALARMMSG",
            QString::fromStdString(AlarmRows::Details(page ? page->GetText().toStdString() : "0", index, row)));
    selectedKey_ = row.key;
    ShowPicture(std::string());
    AlarmRecord alarm;
    if (!AlarmMgr::Instance()->FindAlarm(row.key, alarm) || alarm.localPath.empty())
        return;
    // A picture on disk is complete (downloads are renamed into place); otherwise the picture thread
    // says when it is there.
    if (access(alarm.localPath.c_str(), F_OK) == 0)
        ShowPicture(alarm.localPath);
    else
        AlarmMgr::Instance()->RequestPicture(row.key, GetHWND());
}

LRESULT CAlarmQueryfWnd::HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM, BOOL& bHandled)
{
    if (uMsg == WM_ALARM_PICTURE_READY || uMsg == WM_ALARM_PICTURE_FAILED) {
        bHandled = TRUE;
        AlarmRecord alarm;
        // Only the selected alarm's picture is shown; a failed one leaves the row without a picture.
        if (uMsg == WM_ALARM_PICTURE_READY && static_cast<int>(wParam) == selectedKey_ && selectedKey_ != 0 &&
            AlarmMgr::Instance()->FindAlarm(selectedKey_, alarm))
            ShowPicture(alarm.localPath);
        return 0;
    }
    bHandled = FALSE;
    return 0;
}

void CAlarmQueryfWnd::ShowPicture(const std::string& path)
{
    if (picture_)
        picture_->SetBkImage(QString::fromStdString(path));
}

QString CAlarmQueryfWnd::ShownPicture() const
{
    return picture_ ? picture_->GetAttribute(QStringLiteral("bkimage")) : QString();
}

void CAlarmQueryfWnd::SetText(const char* name, const QString& text)
{
    if (CControlUI* control = FindControl(QString::fromUtf8(name)))
        control->SetText(text);
}
