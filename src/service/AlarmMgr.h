#pragma once

#include "base/AutoResetEvent.h"
#include "base/CriticalSection.h"
#include "base/Sigleton.h"
#include "service/AlarmRecord.h"
#include "ui/WinDef.h"

#include <atomic>
#include <map>
#include <string>
#include <utility>
#include <vector>

// Names of the alarm types: 1 "移动侦测报警", 2 "外部报警".
const std::map<int, std::string>& AlarmTypeNames();

// Alarm records, per-camera alarm settings, arming, the picture loader and the count of unseen alarm
// notices. Process-wide, created on first use, never destroyed; its constructor starts the picture thread,
// which runs for the life of the process.
// Threads: requests and the getters run on the UI thread; the picture thread reads alarms_ (FindAlarm)
// and takes pictureRequests_. lock_ guards alarms_, pictureRequests_ and warnSettings_ and is never held
// during a request or a download. unseenCount_ and totalPage_ are atomics; errorText_ belongs to the UI thread.
class AlarmMgr {
public:
    static AlarmMgr* Instance() { return base::Sigleton<AlarmMgr>::Instance(); }

    // The alarm query (cmd 39), one page of 20: `day` is "YYYY-MM-DD". Replaces the records and asks for
    // their pictures. 0 on success, -1 on failure (records kept).
    int ReqAlarmList(const std::string& day, int hours, int page, int warnType);
    // The receivers of one camera's alarms (cmd 36). 0 or -1.
    int ReqWarnSettings(const std::string& deviceId);
    // Arms or disarms cameras (cmd 41) with the receivers' settings. 0 or -1.
    int ReqArming(const std::vector<std::string>& deviceIds, const std::vector<WarnSetting>& settings, int isArming);

    // Copies the records and sets the unseen count to 0.
    void GetAlarms(std::vector<AlarmRecord>& alarms);
    bool FindAlarm(int key, AlarmRecord& alarm) const;
    // Copies the camera's receivers when they were read; leaves `settings` untouched otherwise.
    void GetWarnSettings(const std::string& deviceId, std::vector<WarnSetting>& settings) const;

    // Asks the picture thread for the record's picture; it posts WM_ALARM_PICTURE_READY (0x40C) or
    // WM_ALARM_PICTURE_FAILED (0x40D) with wParam = key to `window` (nothing when `window` is null).
    void RequestPicture(int key, HWND window);

    void AddUnseen() { ++unseenCount_; }
    int GetUnseen() const { return unseenCount_; }
    int GetTotalPage() const { return totalPage_; }
    std::string GetErrorText() const { return errorText_; }

    // Program folder + "tmp/".
    static std::string PictureFolder();
    // The body of the arming request.
    static std::string ArmingBody(const std::vector<std::string>& deviceIds, const std::vector<WarnSetting>& settings,
                                  int isArming);

private:
    friend class base::Sigleton<AlarmMgr>;
    AlarmMgr();

    void PictureLoop();

    std::vector<AlarmRecord> alarms_;
    std::vector<std::pair<int, HWND>> pictureRequests_;
    mutable base::CCriticalSection lock_;
    base::AutoResetEvent pictureEvent_;
    std::atomic<int> unseenCount_{0};
    std::string errorText_;
    std::atomic<int> totalPage_{0};
    std::map<std::string, std::vector<WarnSetting>> warnSettings_;
};
