#include "duiWrap/DeviceListLoader.h"

#include "service/DeviceMgr.h"
#include "ui/ShowMsgTip.h"
#include "ui/WindowRegistry.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <glog/logging.h>

bool DeviceListLoader::Load(HWND owner)
{
    DeviceMgr* devices = DeviceMgr::Instance();
    if (devices->FunQueryDeviceList() == 1)
        return true;
    const QString text = FailureText(devices->ErrorText());
    LOG(WARNING) << text.toStdString();
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [owner, text] {
            if (::IsWindow(owner))
                ShowMsgTip(owner, text);
        },
        Qt::QueuedConnection);
    return false;
}

QString DeviceListLoader::FailureText(const std::string& reason)
{
    return QStringLiteral("设备列表加载失败：") + QString::fromStdString(reason.empty() ? "未知原因" : reason);
}
