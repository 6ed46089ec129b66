#include "SimCamera.h"

#include "AlarmReporter.h"

#include <gloox/client.h>
#include <gloox/connectiontcpbase.h>
#include <gloox/message.h>
#include <gloox/rostermanager.h>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <utility>

namespace {
constexpr size_t kReceivedKept = 5000;
constexpr auto kReconnectPause = std::chrono::milliseconds(500);
constexpr int kMovingTick = 100;  // ms between steps of a held movement or a cruise
// After a refused log-in (an account the IM server does not know yet): try again now and then.
constexpr auto kRefusedPause = std::chrono::seconds(3);
}

SimCamera::SimCamera(Account account, const Settings& settings, VideoAddressSource& video, AlarmReporter* reporter)
    : account_(std::move(account)),
      settings_(settings),
      video_(video),
      reporter_(reporter),
      behaviour_(account_.deviceId, account_.alias, video),
      wantOnline_(account_.online),
      wakeFd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
{
    width_ = behaviour_.Width();
    if (settings_.alarmEvery.count() > 0) {
        // Spread the cameras over the period so their alarms do not all come at once.
        const auto phase = std::hash<std::string>{}(account_.deviceId) % 1000;
        nextScheduledAlarm_ = Clock::now() + settings_.alarmEvery * (1000 + phase) / 1000;
    }
    thread_ = std::thread([this] { Run(); });
}

SimCamera::~SimCamera()
{
    stop_.store(true);
    Wake();
    thread_.join();
    ::close(wakeFd_);
}

void SimCamera::Wake()
{
    const std::uint64_t one = 1;
    [[maybe_unused]] auto written = ::write(wakeFd_, &one, sizeof one);
}

void SimCamera::SetOnline(bool online)
{
    {
        std::lock_guard<std::mutex> guard(mutex_);
        wantOnline_ = online;
    }
    Wake();
}

void SimCamera::SetAnswering(bool answering)
{
    std::lock_guard<std::mutex> guard(mutex_);
    answering_ = answering;
}

void SimCamera::RaiseAlarm(int warnType)
{
    {
        std::lock_guard<std::mutex> guard(mutex_);
        ++pendingAlarms_;
        pendingWarnType_ = warnType;
    }
    Wake();
}

void SimCamera::SetAway(bool away)
{
    {
        std::lock_guard<std::mutex> guard(mutex_);
        pendingPresence_ = away ? gloox::Presence::Away : gloox::Presence::Available;
    }
    Wake();
}

void SimCamera::Say(const std::string& body)
{
    {
        std::lock_guard<std::mutex> guard(mutex_);
        pendingSays_.push_back(body);
    }
    Wake();
}

void SimCamera::SetRefused(int cmd, bool refused)
{
    std::lock_guard<std::mutex> guard(mutex_);
    if (refused)
        refused_.insert(cmd);
    else
        refused_.erase(cmd);
}

void SimCamera::SetImageControls(bool offered)
{
    std::lock_guard<std::mutex> guard(mutex_);
    imageControls_ = offered;
}

void SimCamera::ClearReceived()
{
    std::lock_guard<std::mutex> guard(mutex_);
    received_.clear();
}

std::vector<std::string> SimCamera::Received()
{
    std::lock_guard<std::mutex> guard(mutex_);
    return {received_.begin(), received_.end()};
}

Json::Value SimCamera::Status()
{
    std::lock_guard<std::mutex> guard(mutex_);
    Json::Value status(Json::objectValue);
    status["deviceId"] = account_.deviceId;
    status["online"] = connected_.load();
    status["answering"] = answering_;
    status["width"] = width_;
    status["pan"] = ptz_.pan;
    status["tilt"] = ptz_.tilt;
    status["zoom"] = ptz_.zoom;
    return status;
}

void SimCamera::Log(std::string line)
{
    std::lock_guard<std::mutex> guard(mutex_);
    received_.push_back(std::move(line));
    if (received_.size() > kReceivedKept)
        received_.pop_front();
}

void SimCamera::Connect()
{
    const std::string jid = account_.deviceId + "@" + settings_.domain + "/cam";
    client_ = std::make_unique<gloox::Client>(gloox::JID(jid), account_.password, -1);
    client_->setServer(settings_.server);
    client_->setPort(settings_.port);
    client_->setTls(gloox::TLSDisabled);
    client_->registerConnectionListener(this);
    client_->registerMessageHandler(this);
    client_->rosterManager()->registerRosterListener(this, true);
    if (!client_->connect(false)) {
        client_.reset();
        nextConnectAttempt_ = Clock::now() + kReconnectPause;
        return;
    }
    if (auto* tcp = dynamic_cast<gloox::ConnectionTCPBase*>(client_->connectionImpl())) {
        const int noDelay = 1;
        ::setsockopt(tcp->socket(), IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
    }
}

void SimCamera::DropConnection()
{
    if (client_)
        client_->disconnect();
    client_.reset();
    connected_.store(false);
}

void SimCamera::Run()
{
    for (;;) {
        if (stop_.load()) {
            DropConnection();
            return;
        }
        bool wantOnline;
        int alarms;
        int warnType;
        int presence;
        std::vector<std::string> says;
        {
            std::lock_guard<std::mutex> guard(mutex_);
            wantOnline = wantOnline_;
            alarms = pendingAlarms_;
            warnType = pendingWarnType_;
            pendingAlarms_ = 0;
            presence = std::exchange(pendingPresence_, -1);
            says.swap(pendingSays_);
        }
        const auto now = Clock::now();
        if (now < rebootUntil_)
            wantOnline = false;
        if (settings_.alarmEvery.count() > 0 && now >= nextScheduledAlarm_) {
            ++alarms;
            nextScheduledAlarm_ = now + settings_.alarmEvery;
        }
        if (!wantOnline && client_)
            DropConnection();
        if (wantOnline && !client_ && now >= nextConnectAttempt_)
            Connect();
        if (alarms > 0)
            PushAlarms(alarms, warnType);
        if (behaviour_.Moving()) {
            behaviour_.Advance(now);
            std::lock_guard<std::mutex> guard(mutex_);
            ptz_ = behaviour_.PtzPosition();
        }
        if (client_ && connected_.load()) {
            if (presence >= 0)
                client_->setPresence(static_cast<gloox::Presence::PresenceType>(presence), 0);
            for (const auto& body : says)
                SendToPeers(body);
        }

        pollfd fds[2] = {{wakeFd_, POLLIN, 0}, {-1, POLLIN, 0}};
        if (client_)
            if (auto* tcp = dynamic_cast<gloox::ConnectionTCPBase*>(client_->connectionImpl()))
                fds[1].fd = tcp->socket();
        int timeoutMs = 1000;
        auto until = [&](Clock::time_point t) {
            if (t > now)
                timeoutMs = std::min<int>(timeoutMs,
                    std::chrono::duration_cast<std::chrono::milliseconds>(t - now).count() + 1);
        };
        if (behaviour_.Moving())
            timeoutMs = std::min(timeoutMs, kMovingTick);
        until(rebootUntil_);
        until(nextConnectAttempt_);
        if (settings_.alarmEvery.count() > 0)
            until(nextScheduledAlarm_);
        ::poll(fds, 2, timeoutMs);
        if (fds[0].revents & POLLIN) {
            std::uint64_t count;
            [[maybe_unused]] auto read = ::read(wakeFd_, &count, sizeof count);
        }
        // A stream the server closed ends inside a recv that reports no error (the library closes the
        // connection itself), so the closed state counts as well.
        const bool input = (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) != 0;
        if (client_ && (input || fds[1].fd < 0)) {
            if ((input && client_->recv(0) != gloox::ConnNoError) || client_->state() == gloox::StateDisconnected) {
                // The server went away, closed the stream or refused the log-in: try again after a pause.
                const bool refused = client_->authError() != gloox::AuthErrorUndefined;
                client_.reset();
                connected_.store(false);
                nextConnectAttempt_ = Clock::now() + (refused ? kRefusedPause : kReconnectPause);
            }
        }
    }
}

void SimCamera::onConnect()
{
    connected_.store(true);
}

void SimCamera::onDisconnect(gloox::ConnectionError)
{
    connected_.store(false);
}

bool SimCamera::handleSubscriptionRequest(const gloox::JID& jid, const std::string&)
{
    Log("subscribe " + jid.bare());
    alarmPeers_.insert(jid.bare());
    return true;
}

void SimCamera::handleMessage(const gloox::Message& msg, gloox::MessageSession*)
{
    if (msg.subtype() == gloox::Message::Error)
        return;
    const std::string& body = msg.body();
    if (body.empty())
        return;
    ++receivedCount_;
    Log(body);
    bool answering;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        answering = answering_;
        behaviour_.SetRefused(refused_);
        behaviour_.SetImageControls(imageControls_);
    }
    if (!answering)
        return;
    alarmPeers_.insert(msg.from().bare());
    auto outcome = behaviour_.Answer(body, std::time(nullptr));
    {
        std::lock_guard<std::mutex> guard(mutex_);
        ptz_ = behaviour_.PtzPosition();
        width_ = behaviour_.Width();
    }
    if (outcome.reply) {
        gloox::Message reply(gloox::Message::Chat, msg.from(), *outcome.reply);
        client_->send(reply);
    }
    if (outcome.reboot) {
        rebootUntil_ = Clock::now() + settings_.rebootTime;
        Wake();
    }
}

void SimCamera::SendToPeers(const std::string& body)
{
    std::set<std::string> peers = alarmPeers_;
    for (const auto& [jid, item] : *client_->rosterManager()->roster())
        peers.insert(item->jidJID().bare());
    for (const auto& peer : peers) {
        gloox::Message message(gloox::Message::Chat, gloox::JID(peer), body);
        client_->send(message);
    }
}

void SimCamera::PushAlarms(int count, int warnType)
{
    if (!client_ || !connected_.load())
        return;
    const std::string notice = behaviour_.AlarmNotice(warnType);
    for (int i = 0; i < count; ++i) {
        if (reporter_ != nullptr)
            reporter_->Report(account_.deviceId, warnType);
        SendToPeers(notice);
    }
}
