#include "ui/MessageTarget.h"

#include "ui/MessagePort.h"
#include "ui/WindowRegistry.h"

MessageTarget::MessageTarget()
    : port_(std::make_unique<MessagePort>(this))
{
    hwnd_ = WindowRegistry::Instance().Register(port_.get());
}

MessageTarget::~MessageTarget()
{
    ReleaseHandle();
}

void MessageTarget::ReleaseHandle()
{
    WindowRegistry::Instance().Unregister(hwnd_);
    port_.reset();
}

void MessageTarget::SetTimer(WPARAM id, unsigned elapseMs)
{
    if (port_)
        port_->SetTimer(id, elapseMs);
}

void MessageTarget::KillTimer(WPARAM id)
{
    if (port_)
        port_->KillTimer(id);
}
