#pragma once

#include "base/AutoResetEvent.h"
#include "base/CriticalSection.h"
#include "base/Sigleton.h"
#include "device/CameraParams.h"
#include "device/CommandSink.h"
#include "device/DeviceCommand.h"

#include <atomic>
#include <deque>
#include <map>
#include <string>
#include <thread>

class DeviceMessenger;

// The camera parameter service: the per-camera store of what cameras reported (capabilities, image and
// encoding parameters, supported sizes, audio status), the request operations that build the parameter
// commands, and the command queue with its worker thread, through which most device commands leave.
//
// Threads: PostCmd from any thread; the worker thread sends queued commands; everything else (the
// store and the requests) runs on the UI thread.
// Locks: queueLock_ guards queue_ (never held while a message is sent). params_ and audioFlag_ belong
// to the UI thread.
class CamParamMgr : public CommandSink {
public:
    static CamParamMgr* Instance() { return base::Sigleton<CamParamMgr>::Instance(); }

    // Sends through the given messenger; the program's instance uses CIMClient.
    explicit CamParamMgr(DeviceMessenger& messenger);
    ~CamParamMgr() override;

    // Queues the command and wakes the worker. Returns at once.
    void PostCmd(const std::string& deviceId, const std::string& text) override;

    void ReqImageCaps(const std::string& deviceId);
    void ReqDevInfo(const std::string& deviceId);
    void ReqImageParam(const std::string& deviceId);
    void ReqVideoParam(const std::string& deviceId);
    void ReqUpdateVideoParam(const std::string& deviceId, const EncodeParams& params);
    void ReqQuerySupRatio(const std::string& deviceId);
    void ReqSetAudio(const std::string& deviceId, bool boxSelected);
    void ReqAudioStatus(const std::string& deviceId);
    // Asks the camera for the stream size of this width, with the stored encoding values when the
    // camera reported that size, otherwise with the values fixed for each quality level.
    void ReqSwitchRatio(const std::string& deviceId, int width);

    // Stores a reply of cmd 4, 10, 12, 14 or 27. Returns 0 when stored, "err_num" when that is not 0,
    // -1 when the body is not a JSON object or a member has an unexpected type (nothing is stored).
    int StoreReply(const std::string& deviceId, const std::string& body);

    int GetSupRatios(const std::string& deviceId, PictureSizes& out) const;
    int GetVideoParam(const std::string& deviceId, EncodeParams& out) const;
    int GetImageParam(const std::string& deviceId, ImageParams& out) const;
    int GetImageCaps(const std::string& deviceId, ImageCaps& out) const;
    bool GetAudioFlag() const { return audioFlag_; }

    // "rstn_list": sizes separated by "&", width and height by "X"; pieces that are not two parts are skipped.
    static PictureSizes ParseSizeList(const std::string& text);

private:
    friend class base::Sigleton<CamParamMgr>;
    CamParamMgr();
    void RunWorker();

    bool audioFlag_ = false;
    std::map<std::string, CameraParams> params_;

    DeviceMessenger& messenger_;
    base::CCriticalSection queueLock_;
    std::deque<DeviceCommand> queue_;  // queueLock_
    base::AutoResetEvent queueEvent_;
    std::atomic<bool> stopping_{false};
    std::thread worker_;
};
