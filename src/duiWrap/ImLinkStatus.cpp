#include "duiWrap/ImLinkStatus.h"

#include "ui/CControlUI.h"
#include "ui/ShowMsgTip.h"

#include <glog/logging.h>

const QString ImLinkStatus::kLostText = QStringLiteral("与设备服务器的连接已断开，正在重新连接…");
const QString ImLinkStatus::kRefusedText = QStringLiteral("与设备服务器的连接已断开，正在重新连接，请稍后再试");

ImLinkStatus::ImLinkStatus(HWND owner, CControlUI* line, std::function<void()> rebuildTree)
    : owner_(owner), line_(line), rebuildTree_(std::move(rebuildTree))
{
    if (line_ != nullptr)
        line_->SetVisible(false);
}

void ImLinkStatus::Lost()
{
    LOG(WARNING) << "the IM session was lost; reconnecting";
    down_ = true;
    if (line_ != nullptr) {
        line_->SetText(kLostText);
        line_->SetVisible(true);
    }
    if (rebuildTree_)
        rebuildTree_();
}

void ImLinkStatus::Restored()
{
    if (down_)
        LOG(INFO) << "the IM session is back";
    down_ = false;
    if (line_ != nullptr)
        line_->SetVisible(false);
}

bool ImLinkStatus::RefuseCommand() const
{
    if (down_)
        ShowMsgTip(owner_, kRefusedText);
    return down_;
}
