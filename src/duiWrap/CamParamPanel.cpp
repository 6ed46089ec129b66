#include "duiWrap/CamParamPanel.h"

#include "device/CamParamMgr.h"
#include "device/EncodePanelValues.h"
#include "device/StreamRequestMgr.h"
#include "ui/CCheckBoxUI.h"
#include "ui/CComboUI.h"
#include "ui/CListLabelElementUI.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CSliderUI.h"
#include "ui/ShowMsgTip.h"

namespace {

// One row of the image panel: the capability that decides whether it shows, its controls, its value.
struct ImageRow {
    int ImageCaps::*capability;
    const char* layout;
    const char* slider;
    const char* edit;
    int ImageParams::*parameter;
};
constexpr ImageRow kImageRows[] = {
    {&ImageCaps::bright, "lightnessLayout", "lightnessSlider", "IDC_EDIT_LIGHTNESS", &ImageParams::brightness},
    {&ImageCaps::contrast, "contrastLayout", "contrastSlider", "IDC_EDIT_CONTRAST", &ImageParams::contrast},
    {&ImageCaps::saturation, "saturationLayout", "saturationSlider", "IDC_EDIT_SATURATION", &ImageParams::saturation},
    {&ImageCaps::sensor_day, "daytimeLayout", "daytimeSlider", "IDC_EDIT_DAYTIME", &ImageParams::sensor_day},
    {&ImageCaps::sensor_black, "nighttimeLayout", "nighttimeSlider", "IDC_EDIT_NIGTHTIME", &ImageParams::sensor_black},
};

}  // namespace

CamParamPanel::CamParamPanel(CPaintManagerUI& manager, HWND owner, CamParamMgr& params, StreamRequestMgr& streams,
                             DeviceMessenger& presence, CellStopper stopCells)
    : manager_(manager), owner_(owner), params_(params), streams_(streams), gate_(owner, presence),
      stopCells_(std::move(stopCells))
{
}

// Another camera's answer (a quality switch, or a refresh of the camera shown before) must not fill
// the panels: a save would send its values to the shown camera.
bool CamParamPanel::IsShown(const std::string& deviceId) const
{
    return !deviceId.empty() && deviceId == camera_;
}

QString CamParamPanel::Text(const char* name) const
{
    CControlUI* control = manager_.FindControl(QString::fromUtf8(name));
    return control ? control->GetText() : QString();
}

void CamParamPanel::SetText(const char* name, const std::string& text)
{
    if (CControlUI* control = manager_.FindControl(QString::fromUtf8(name)))
        control->SetText(QString::fromStdString(text));
}

bool CamParamPanel::OnClick(const QString& name, const std::string& deviceId)
{
    if (name == "IDC_BTNREFLASH")
        Refresh(deviceId);
    else if (name == "IDC_BTNSAVE")
        Save(deviceId);
    else if (name == "IDC_CHKAUDIO")
        audioKnown_ = true;
    else
        return false;
    return true;
}

void CamParamPanel::Refresh(const std::string& deviceId)
{
    if (!gate_.Admit(deviceId))
        return;
    params_.ReqDevInfo(deviceId);
    ImageCaps caps;
    if (params_.GetImageCaps(deviceId, caps) == 0) {
        if (caps.bright != 0 || caps.contrast != 0 || caps.sensor_black != 0 || caps.saturation != 0 ||
            caps.sensor_day != 0)
            params_.ReqImageParam(deviceId);
        else
            ShowImagePanel(deviceId);
    }
    params_.ReqVideoParam(deviceId);
    params_.ReqAudioStatus(deviceId);
}

void CamParamPanel::Save(const std::string& deviceId)
{
    if (!gate_.Admit(deviceId, QStringLiteral("没有选中摄像机")))
        return;
    const QString bitRate = Text("IDC_EDIT_BITSTREAM"), size = Text("IDC_CMBVSIZE");
    if (!bitRate.isEmpty() && size.isEmpty()) {
        ShowMsgTip(owner_, QStringLiteral("请先选择分辨率"));
        return;
    }
    const std::optional<EncodeParams> chosen =
        EncodePanelValues::Read(bitRate.toStdString(), Text("IDC_CMBFRATE").toStdString(),
                                Text("IDC_CMBQLY").toStdString(), size.toStdString());
    if (chosen) {
        EncodeParams stored;
        if (params_.GetVideoParam(deviceId, stored) == 0 && stored.width != chosen->width) {
            streams_.SetRestart(deviceId, true);
            if (stopCells_)
                stopCells_(deviceId);
        }
        params_.ReqUpdateVideoParam(deviceId, *chosen);
    }
    // Not before the box is this camera's: it would switch the camera's sound as nobody chose.
    if (audioKnown_) {
        auto* audio = manager_.FindControlAs<CCheckBoxUI>(QStringLiteral("IDC_CHKAUDIO"));
        params_.ReqSetAudio(deviceId, audio && audio->GetCheck());
    }
}

void CamParamPanel::ShowCamera(const std::string& deviceId)
{
    if (deviceId == camera_)
        return;
    camera_ = deviceId;
    // Emptied, not filled from the store: a camera's entry there holds the default encoding values
    // until the camera answered.
    for (const char* name : {"IDC_EDITCOM", "IDC_EDITDEVTYPE", "IDC_EDITPVERSION", "IDC_EDITVERSION"})
        SetText(name, std::string());
    // An empty bit rate is what a save reads as an unchanged encoding.
    SetText("IDC_EDIT_BITSTREAM", std::string());
    if (auto* sizes = manager_.FindControlAs<CComboUI>(QStringLiteral("IDC_CMBVSIZE")))
        sizes->RemoveAll();
    for (const char* name : {"IDC_CMBQLY", "IDC_CMBFRATE"})
        if (auto* list = manager_.FindControlAs<CComboUI>(QString::fromUtf8(name)))
            list->SelectItem(-1);
    for (const ImageRow& row : kImageRows)
        if (CControlUI* layout = manager_.FindControl(QString::fromUtf8(row.layout)))
            layout->SetVisible(false);
    if (auto* audio = manager_.FindControlAs<CCheckBoxUI>(QStringLiteral("IDC_CHKAUDIO")))
        audio->SetCheck(false, false);
    audioKnown_ = false;
}

void CamParamPanel::ShowDeviceInfo(const std::string& deviceId, const DeviceInfo& info)
{
    if (!IsShown(deviceId))
        return;
    if (!info.devName.empty())
        SetText("CameraName", info.devName);
    SetText("IDC_EDITCOM", info.conslInterface);
    SetText("IDC_EDITDEVTYPE", info.devType);
    SetText("IDC_EDITPVERSION", info.devModel);
    SetText("IDC_EDITVERSION", info.devVersion);
}

void CamParamPanel::ShowImagePanel(const std::string& deviceId)
{
    ImageParams values;
    ImageCaps caps;
    if (!IsShown(deviceId) || params_.GetImageParam(deviceId, values) != 0 || params_.GetImageCaps(deviceId, caps) != 0)
        return;
    for (const ImageRow& row : kImageRows) {
        const int offered = caps.*row.capability;
        CControlUI* layout = manager_.FindControl(QString::fromUtf8(row.layout));
        if (offered == 0) {
            if (layout)
                layout->SetVisible(false);
        } else if (offered == 1) {
            if (layout)
                layout->SetVisible(true);
            if (auto* slider = manager_.FindControlAs<CSliderUI>(QString::fromUtf8(row.slider))) {
                slider->SetValue(values.*row.parameter);
                SetText(row.edit, std::to_string(slider->GetValue()));
            }
        }
    }
}

void CamParamPanel::ShowEncodePanel(const std::string& deviceId)
{
    EncodeParams values;
    if (!IsShown(deviceId) || params_.GetVideoParam(deviceId, values) != 0)
        return;
    SetText("IDC_EDIT_BITSTREAM", std::to_string(EncodePanelValues::ShownBitRate(values.bit_rate)));
    if (auto* sizes = manager_.FindControlAs<CComboUI>(QStringLiteral("IDC_CMBVSIZE"))) {
        sizes->RemoveAll();
        PictureSizes supported;
        params_.GetSupRatios(deviceId, supported);
        for (const auto& [width, height] : supported) {
            auto* item = new CListLabelElementUI;
            item->SetAttribute(QStringLiteral("text"), QString::fromStdString(EncodePanelValues::SizeText(width, height)));
            item->SetTag(static_cast<UINT_PTR>(width));
            sizes->Add(item);
            if (width == values.width && sizes->GetCurSel() < 0)
                sizes->SelectItem(sizes->GetCount() - 1);
        }
    }
    if (auto* quality = manager_.FindControlAs<CComboUI>(QStringLiteral("IDC_CMBQLY")))
        if (const int index = EncodePanelValues::QualityIndex(values.qos); index >= 0)
            quality->SelectItem(index);
    if (auto* frameRate = manager_.FindControlAs<CComboUI>(QStringLiteral("IDC_CMBFRATE")))
        if (const int index = EncodePanelValues::FrameRateIndex(values.fps); index >= 0)
            frameRate->SelectItem(index);
}

void CamParamPanel::SetAudioChecked(const std::string& deviceId, bool checked)
{
    if (!IsShown(deviceId))
        return;
    if (auto* box = manager_.FindControlAs<CCheckBoxUI>(QStringLiteral("IDC_CHKAUDIO")))
        box->SetCheck(checked, false);
    audioKnown_ = true;
}
