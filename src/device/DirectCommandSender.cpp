#include "device/DirectCommandSender.h"

#include "glooxWrap/DeviceMessenger.h"

#include <atomic>

DirectCommandSender::~DirectCommandSender()
{
    std::lock_guard<std::mutex> guard(mutex_);
    for (auto& sender : senders_)
        sender.thread.request_stop();
    senders_.clear();  // jthread joins
}

void DirectCommandSender::SendCmdDirect(const std::string& deviceId, const std::string& text)
{
    if (!IsAddressableDeviceId(deviceId))
        return;  // no camera selected (or no valid JID): nobody to send to
    std::lock_guard<std::mutex> guard(mutex_);
    JoinFinished();
    auto done = std::make_shared<std::atomic<bool>>(false);
    DeviceMessenger& messenger = messenger_;
    senders_.push_back(Sender{std::jthread([&messenger, deviceId, text, done](std::stop_token stop) {
                                  if (messenger.WaitUntilReady(stop)) {
                                      const std::string jid = DeviceJid(deviceId);
                                      if (!messenger.IsFriend(deviceId))
                                          messenger.Subscribe(jid);
                                      messenger.SendMsg(jid, text);
                                  }
                                  done->store(true);
                              }),
                              done});
}

void DirectCommandSender::JoinFinished()
{
    senders_.remove_if([](const Sender& sender) { return sender.done->load(); });
}
