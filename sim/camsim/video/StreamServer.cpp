#include "StreamServer.h"

#include "FlvTags.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace camsim {

namespace {

constexpr auto kFrameInterval = std::chrono::nanoseconds(1'000'000'000 / EncodedLoop::kFramesPerSecond);
constexpr char kHost[] = "127.0.0.1";

bool SendAll(int fd, const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t sent = ::send(fd, bytes, size, MSG_NOSIGNAL);
        if (sent <= 0)
            return false;
        bytes += sent;
        size -= static_cast<std::size_t>(sent);
    }
    return true;
}

bool SendText(int fd, const std::string& text) { return SendAll(fd, text.data(), text.size()); }

void SendStatus(int fd, const char* status)
{
    SendText(fd, std::string("HTTP/1.1 ") + status + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
}

// The request line's path, or empty when no complete GET request arrived.
std::string ReadRequestPath(int fd)
{
    std::string request;
    char buffer[1024];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 8192) {
        const ssize_t received = ::recv(fd, buffer, sizeof buffer, 0);
        if (received <= 0)
            return {};
        request.append(buffer, static_cast<std::size_t>(received));
    }
    if (request.rfind("GET ", 0) != 0)
        return {};
    const std::size_t end = request.find(' ', 4);
    return end == std::string::npos ? std::string() : request.substr(4, end - 4);
}

bool IsUsableId(const std::string& id)
{
    return !id.empty() && id.size() <= 64 && std::all_of(id.begin(), id.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.' || c == ':';
    });
}

// "<prefix><name>.flv" → name, or empty.
std::string NameIn(const std::string& path, const std::string& prefix)
{
    if (path.rfind(prefix, 0) != 0 || path.size() <= prefix.size() + 4 || path.compare(path.size() - 4, 4, ".flv") != 0)
        return {};
    return path.substr(prefix.size(), path.size() - prefix.size() - 4);
}

const char kStreamHeader[] =
    "HTTP/1.1 200 OK\r\nContent-Type: video/x-flv\r\nCache-Control: no-cache\r\nConnection: close\r\n\r\n";

}  // namespace

StreamServer::StreamServer() = default;

StreamServer::~StreamServer() { Stop(); }

bool StreamServer::Start(std::uint16_t port)
{
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0)
        return false;
    const int on = 1;
    ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    ::inet_pton(AF_INET, kHost, &address.sin_addr);
    socklen_t length = sizeof address;
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) < 0 || ::listen(listenFd_, 128) < 0 ||
        ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length) < 0) {
        ::close(listenFd_);
        listenFd_ = -1;
        return false;
    }
    port_ = ntohs(address.sin_port);
    epoch_ = Clock::now();
    stopping_ = false;
    acceptThread_ = std::thread(&StreamServer::AcceptLoop, this);
    return true;
}

void StreamServer::Stop()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        for (Connection& connection : connections_)
            ::shutdown(connection.fd, SHUT_RDWR);
    }
    wake_.notify_all();
    if (acceptThread_.joinable())
        acceptThread_.join();
    for (Connection& connection : connections_) {
        if (connection.thread.joinable())
            connection.thread.join();
        ::close(connection.fd);
    }
    connections_.clear();
    if (listenFd_ >= 0)
        ::close(listenFd_);
    listenFd_ = -1;
}

std::string StreamServer::LiveUrl(const std::string& deviceId)
{
    return "http://" + std::string(kHost) + ":" + std::to_string(port_) + "/live/" + deviceId + ".flv";
}

std::string StreamServer::ReplayUrl(const std::string& deviceId, std::int64_t startUtc, std::int64_t endUtc)
{
    if (endUtc <= startUtc || !IsUsableId(deviceId))
        return {};
    std::lock_guard<std::mutex> lock(mutex_);
    const int id = nextReplayId_++;
    Replay& replay = replays_[id];
    replay.deviceId = deviceId;
    replay.startUtc = startUtc;
    replay.lengthMs = (endUtc - startUtc) * 1000;
    return "http://" + std::string(kHost) + ":" + std::to_string(port_) + "/replay/" + std::to_string(id) + ".flv";
}

void StreamServer::SetLiveSize(const std::string& deviceId, int width, int height)
{
    std::lock_guard<std::mutex> lock(mutex_);
    Camera& camera = cameras_[deviceId];
    camera.width = width;
    camera.height = height;
}

void StreamServer::ResizeLive(const std::string& deviceId, int width, int height)
{
    std::lock_guard<std::mutex> lock(mutex_);
    Camera& camera = cameras_[deviceId];
    camera.width = width;
    camera.height = height;
    ++camera.resizes;
}

void StreamServer::SetView(const std::string& deviceId, int pan, int tilt, int zoom)
{
    const CameraView view{pan, tilt, zoom};
    {
        std::lock_guard<std::mutex> lock(mutex_);
        cameras_[deviceId].view = view;
        // A moving camera passes many views: keep only the resting one and the new one (viewers hold
        // the loop they are sending).
        for (auto it = loops_.begin(); it != loops_.end();) {
            const CameraView& cached = std::get<3>(it->first);
            const bool ready = it->second.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
            if (std::get<0>(it->first) == deviceId && ready && cached != view && cached != CameraView{})
                it = loops_.erase(it);
            else
                ++it;
        }
    }
    wake_.notify_all();
}

int StreamServer::ReplayIdOf(const std::string& replayUrl) const
{
    const std::size_t at = replayUrl.find("/replay/");
    if (at == std::string::npos)
        return -1;
    const std::string name = NameIn(replayUrl.substr(at), "/replay/");
    if (name.empty() || !std::all_of(name.begin(), name.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }) ||
        name.size() > 9)
        return -1;
    return std::stoi(name);
}

bool StreamServer::SetReplaySpeed(const std::string& replayUrl, double speed)
{
    if (!(speed >= 0.25 && speed <= 4.0))
        return false;
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = replays_.find(ReplayIdOf(replayUrl));
    if (it == replays_.end())
        return false;
    it->second.speed = speed;
    wake_.notify_all();
    return true;
}

bool StreamServer::SeekReplay(const std::string& replayUrl, double minutes)
{
    if (!std::isfinite(minutes) || minutes < 0)
        return false;
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = replays_.find(ReplayIdOf(replayUrl));
    if (it == replays_.end())
        return false;
    Replay& replay = it->second;
    replay.startMs = std::min(static_cast<std::int64_t>(minutes * 60000.0), std::max<std::int64_t>(replay.lengthMs - 1, 0));
    ++replay.seekGeneration;
    wake_.notify_all();
    return true;
}

bool StreamServer::CloseReplay(const std::string& replayUrl)
{
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = replays_.find(ReplayIdOf(replayUrl));
    if (it == replays_.end())
        return false;
    it->second.closed = true;
    wake_.notify_all();
    return true;
}

void StreamServer::SetLiveFault(const std::string& deviceId, LiveFault fault)
{
    std::lock_guard<std::mutex> lock(mutex_);
    cameras_[deviceId].fault = fault;
    wake_.notify_all();
}

void StreamServer::Prepare(const std::string& deviceId)
{
    int width, height;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const Camera& camera = cameras_[deviceId];
        width = camera.width;
        height = camera.height;
    }
    Loop(deviceId, width, height);
}

int StreamServer::LiveViewerCount(const std::string& deviceId) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = cameras_.find(deviceId);
    return it == cameras_.end() ? 0 : it->second.viewers;
}

std::shared_ptr<const EncodedLoop> StreamServer::Loop(const std::string& deviceId, int width, int height,
                                                      const CameraView& view)
{
    std::promise<std::shared_ptr<const EncodedLoop>> promise;
    std::shared_future<std::shared_ptr<const EncodedLoop>> future;
    const LoopKey key{deviceId, width, height, view};
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = loops_.find(key);
        if (it != loops_.end()) {
            future = it->second;
        } else {
            loops_[key] = promise.get_future().share();
            future = {};
        }
    }
    if (future.valid())
        return future.get();
    // The first viewer of this camera at this size encodes the loop; later viewers wait for it.
    auto loop = EncodedLoop::Encode(deviceId, width, height, view);
    promise.set_value(loop);
    if (!loop) {
        std::lock_guard<std::mutex> lock(mutex_);
        loops_.erase(key);
    }
    return loop;
}

void StreamServer::AcceptLoop()
{
    while (true) {
        pollfd poller{listenFd_, POLLIN, 0};
        const int ready = ::poll(&poller, 1, 100);
        std::lock_guard<std::mutex> lock(mutex_);
        if (stopping_)
            return;
        ReapFinished();
        if (ready <= 0)
            continue;
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        // A viewer that stops reading must not hold its thread for ever.
        const timeval timeout{10, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        Connection& connection = connections_.emplace_back();
        connection.fd = fd;
        connection.thread = std::thread(&StreamServer::Serve, this, &connection);
    }
}

void StreamServer::ReapFinished()
{
    for (auto it = connections_.begin(); it != connections_.end();) {
        if (!it->done) {
            ++it;
            continue;
        }
        it->thread.join();
        ::close(it->fd);
        it = connections_.erase(it);
    }
}

void StreamServer::Serve(Connection* connection)
{
    const int fd = connection->fd;
    const std::string path = ReadRequestPath(fd);
    const std::string live = NameIn(path, "/live/");
    const std::string replay = NameIn(path, "/replay/");
    if (IsUsableId(live))
        ServeLive(fd, live);
    else if (!replay.empty() && ReplayIdOf(path) > 0)
        ServeReplay(fd, ReplayIdOf(path));
    else if (!path.empty())
        SendStatus(fd, "404 Not Found");
    ::shutdown(fd, SHUT_RDWR);
    std::lock_guard<std::mutex> lock(mutex_);
    connection->done = true;
}

bool StreamServer::SleepUntil(std::unique_lock<std::mutex>& lock, Clock::time_point until)
{
    wake_.wait_until(lock, until);
    return !stopping_;
}

void StreamServer::ServeLive(int fd, const std::string& deviceId)
{
    int width, height, resizes;
    CameraView view;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        Camera& camera = cameras_[deviceId];
        if (camera.fault == LiveFault::Drop) {
            SendStatus(fd, "503 Service Unavailable");
            return;
        }
        width = camera.width;
        height = camera.height;
        resizes = camera.resizes;
        view = camera.view;
        ++camera.viewers;
    }
    std::shared_ptr<const EncodedLoop> loop = Loop(deviceId, width, height, view);
    std::vector<std::uint8_t> out(kStreamHeader, kStreamHeader + sizeof kStreamHeader - 1);
    if (loop) {
        flv::AppendFileHeader(out);
        flv::AppendMetadata(out, 0, 0, width, height, EncodedLoop::kFramesPerSecond);
        flv::AppendVideoTag(out, 0, loop->sequenceHeader);
    }
    // A new viewer starts at the last key frame of the camera's running clock: it gets the frames since
    // then at once and can show a picture without waiting for the next key frame.
    auto CurrentKeyFrame = [this] {
        const std::int64_t now = (Clock::now() - epoch_) / kFrameInterval;
        return now - now % EncodedLoop::kGop;
    };
    const std::int64_t first = CurrentKeyFrame();
    std::int64_t index = first;
    bool sending = loop && SendAll(fd, out.data(), out.size());
    if (!loop)
        SendStatus(fd, "500 Internal Server Error");
    std::unique_lock<std::mutex> lock(mutex_);
    while (sending && !stopping_) {
        const LiveFault fault = cameras_[deviceId].fault;
        if (fault == LiveFault::Drop)
            break;
        if (fault == LiveFault::Stall) {
            wake_.wait(lock);
            index = std::max(index, CurrentKeyFrame());  // resume with a fresh key frame
            continue;
        }
        const Clock::time_point due = epoch_ + index * kFrameInterval;
        if (Clock::now() < due) {
            SleepUntil(lock, due);
            continue;
        }
        // The camera turned, or was resized by ResizeLive: change over at a key frame.
        const Camera& camera = cameras_[deviceId];
        const CameraView wanted = camera.view;
        const int wantedResizes = camera.resizes, wantedWidth = camera.width, wantedHeight = camera.height;
        const bool resized = wantedResizes != resizes;
        lock.unlock();
        out.clear();
        const auto timestamp = static_cast<std::uint32_t>((index - first) * 1000 / EncodedLoop::kFramesPerSecond);
        if ((wanted != loop->view || resized) && index % EncodedLoop::kGop == 0) {
            if (auto turned = Loop(deviceId, resized ? wantedWidth : width, resized ? wantedHeight : height, wanted)) {
                loop = std::move(turned);
                if (resized) {
                    width = wantedWidth;
                    height = wantedHeight;
                    resizes = wantedResizes;
                    flv::AppendMetadata(out, timestamp, 0, width, height, EncodedLoop::kFramesPerSecond);
                }
                flv::AppendVideoTag(out, timestamp, loop->sequenceHeader);
            }
        }
        flv::AppendVideoTag(out, timestamp, loop->frames[index % EncodedLoop::kLength].body);
        sending = SendAll(fd, out.data(), out.size());
        ++index;
        lock.lock();
    }
    if (!lock.owns_lock())
        lock.lock();
    --cameras_[deviceId].viewers;
}

void StreamServer::ServeReplay(int fd, int replayId)
{
    std::string deviceId;
    std::int64_t lengthMs, startMs, startUtc;
    int generation, width, height;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = replays_.find(replayId);
        if (it == replays_.end() || it->second.closed) {
            SendStatus(fd, "404 Not Found");
            return;
        }
        deviceId = it->second.deviceId;
        lengthMs = it->second.lengthMs;
        startMs = it->second.startMs;
        startUtc = it->second.startUtc;
        generation = it->second.seekGeneration;
        // Recordings are kept at the live size, at most 640x360 (each second is encoded when served).
        const Camera& camera = cameras_[deviceId];
        width = std::min(camera.width, kMaxReplayWidth);
        height = camera.width > kMaxReplayWidth ? camera.height * kMaxReplayWidth / camera.width : camera.height;
    }
    // Frame `content` of the recording: within the group of pictures of its second, which shows the
    // recording's clock.
    auto ClipOf = [&](std::int64_t frame) {
        return clips_.Second(deviceId, width, height, startUtc + frame / EncodedLoop::kFramesPerSecond);
    };
    auto KeyFrameAt = [](std::int64_t ms) {
        const std::int64_t frame = ms * EncodedLoop::kFramesPerSecond / 1000;
        return frame - frame % EncodedLoop::kGop;
    };
    std::int64_t content = KeyFrameAt(startMs);
    std::shared_ptr<const EncodedLoop> clip = ClipOf(content);
    if (!clip) {
        SendStatus(fd, "500 Internal Server Error");
        return;
    }
    const std::int64_t end = (lengthMs * EncodedLoop::kFramesPerSecond + 999) / 1000;
    std::vector<std::uint8_t> out(kStreamHeader, kStreamHeader + sizeof kStreamHeader - 1);
    flv::AppendFileHeader(out);
    // The announced duration is the length of the recording still to play (content time); the
    // timestamps run at playing speed, so position × speed / duration is the share already played.
    auto Remaining = [&] {
        return static_cast<double>(lengthMs - content * 1000 / EncodedLoop::kFramesPerSecond) / 1000.0;
    };
    flv::AppendMetadata(out, 0, Remaining(), width, height, EncodedLoop::kFramesPerSecond);
    flv::AppendVideoTag(out, 0, clip->sequenceHeader);
    std::vector<std::uint8_t> sequenceHeader = clip->sequenceHeader;
    bool sending = SendAll(fd, out.data(), out.size());

    double timestampMs = 0;
    bool announce = false;  // the length changed with a seek: tell the player before the next frame
    Clock::time_point due = Clock::now();
    std::unique_lock<std::mutex> lock(mutex_);
    while (sending && !stopping_ && content < end) {
        const Replay& replay = replays_[replayId];
        if (replay.closed)
            break;
        if (replay.seekGeneration != generation) {
            generation = replay.seekGeneration;
            content = KeyFrameAt(replay.startMs);
            announce = true;
        }
        if (Clock::now() < due) {
            SleepUntil(lock, due);
            continue;
        }
        const double step = 1000.0 / EncodedLoop::kFramesPerSecond / replay.speed;
        lock.unlock();
        out.clear();
        const auto timestamp = static_cast<std::uint32_t>(std::llround(timestampMs));
        if (announce)
            flv::AppendMetadata(out, timestamp, Remaining(), width, height, EncodedLoop::kFramesPerSecond);
        announce = false;
        if (content % EncodedLoop::kGop == 0)
            clip = ClipOf(content);
        if (!clip)
            break;
        // Each second is encoded on its own; the decoder hears of new parameters before they apply.
        if (clip->sequenceHeader != sequenceHeader) {
            sequenceHeader = clip->sequenceHeader;
            flv::AppendVideoTag(out, timestamp, sequenceHeader);
        }
        flv::AppendVideoTag(out, timestamp, clip->frames[content % EncodedLoop::kGop].body);
        sending = SendAll(fd, out.data(), out.size());
        ++content;
        timestampMs += step;
        due += std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double, std::milli>(step));
        lock.lock();
    }
}

}  // namespace camsim
