#include "duiWrap/PtzPanel.h"

#include "device/CommandTexts.h"
#include "device/EncodePanelValues.h"
#include "ui/CComboUI.h"
#include "ui/CListLabelElementUI.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CSliderUI.h"
#include "ui/WindowRegistry.h"

#include <QStringList>

PtzPanel::PtzPanel(CPaintManagerUI& manager, CommandSink& queue, DeviceMessenger& presence, DirectSender sendDirect)
    : manager_(manager), presence_(presence), control_(queue, presence), sendDirect_(std::move(sendDirect))
{
}

void PtzPanel::Init(HWND target)
{
    target_ = target;
    if (auto* presets = manager_.FindControlAs<CComboUI>(QStringLiteral("IDC_COMBO_POINT"))) {
        presets->RemoveAll();
        for (int i = 1; i <= 255; ++i) {
            auto* item = new CListLabelElementUI;
            item->SetAttribute(QStringLiteral("text"), QString::asprintf("%d", i));
            presets->Add(item);
        }
        presets->SelectItem(0);
    }
    for (const PtzControl::Move& move : PtzControl::kMoves) {
        CControlUI* button = manager_.FindControl(QString::fromUtf8(move.buttonName));
        if (!button)
            continue;
        const UINT message = move.message;
        button->AddEventHandler([button, target, message](TEventUI& event) {
            if (event.pSender == button && event.Type == UIEVENT_BUTTONDOWN)
                ::PostMessage(target, message, 1, 0);
            else if (event.pSender == button && event.Type == UIEVENT_BUTTONUP)
                ::PostMessage(target, message, 0, 0);
            return true;  // the button still shows itself pressed and released
        });
    }
    ReadSpeed();
}

void PtzPanel::ReadSpeed()
{
    if (auto* slider = manager_.FindControlAs<CSliderUI>(QStringLiteral("IDC_SLIDSPEED")))
        control_.SetSpeed(slider->GetValue());
}

int PtzPanel::SelectedPreset() const
{
    CControlUI* presets = manager_.FindControl(QStringLiteral("IDC_COMBO_POINT"));
    return presets ? EncodePanelValues::DecimalOf(presets->GetText().toStdString()) : 0;
}

bool PtzPanel::OnClick(const QString& name, const std::string& deviceId)
{
    static const QStringList kPresetButtons = {QStringLiteral("IDC_BUTTON_GETPOINT"), QStringLiteral("IDC_BUTTON_ADDPOINT"),
                                               QStringLiteral("IDC_BUTTON_DELPOINT"), QStringLiteral("IDC_BUTTON_DELALLPOINT"),
                                               QStringLiteral("IDC_BUTTON_CRUISE")};
    if (!kPresetButtons.contains(name))
        return false;
    if (!Gate().Admit(deviceId))
        return true;
    if (name == "IDC_BUTTON_GETPOINT")
        sendDirect_(deviceId, CommandTexts::PtzGotoPreset(SelectedPreset()));
    else if (name == "IDC_BUTTON_ADDPOINT")
        sendDirect_(deviceId, CommandTexts::PtzSetPreset(SelectedPreset()));
    else if (name == "IDC_BUTTON_DELPOINT")
        control_.DeletePreset(deviceId, SelectedPreset());
    else if (name == "IDC_BUTTON_DELALLPOINT")
        control_.DeleteAllPresets(deviceId);
    else
        control_.StartCruise(deviceId);
    return true;
}

bool PtzPanel::HandleMessage(UINT message, WPARAM wParam, const std::string& deviceId)
{
    if (!PtzControl::MoveOf(message))
        return false;
    // Every press is judged afresh: the release of a refused one may have been lost to the message box.
    if (wParam == 1) {
        refusedPresses_.erase(message);
        if (!Gate().Admit(deviceId)) {
            refusedPresses_.insert(message);
            return true;
        }
    } else if (wParam == 0 && refusedPresses_.erase(message) > 0) {
        return true;  // nothing moved, nothing to stop
    }
    return control_.HandleMove(message, wParam, deviceId);
}

void PtzPanel::OnDeviceOnline(const std::string& deviceId)
{
    control_.OnDeviceOnline(deviceId);
}
