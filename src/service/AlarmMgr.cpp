#include "service/AlarmMgr.h"

#include "app/LocalConfig.h"
#include "app/UserSession.h"
#include "base/SingleLock.h"
#include "service/HttpTransport.h"
#include "service/JsonEscape.h"
#include "service/ServiceEndpoint.h"
#include "service/ServiceReply.h"
#include "ui/WindowMessages.h"
#include "ui/WindowRegistry.h"

#include <cstdint>
#include <cstdio>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kPageSize = 20;

int NextAlarmKey()
{
    static std::atomic<int> lastKey{0};
    return ++lastKey;
}

// A picture's file name comes from the service: only a plain name may choose where it is written.
bool IsPlainFileName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\") == std::string::npos &&
           name.find('\0') == std::string::npos;
}

// The picture's file name, without ".jpeg": the service's "fileId" when the record carries one (and it
// is a plain name); otherwise one drawn from the picture's address (FNV-1a), so that a service that
// sends no "fileId" still gets one file per picture. Empty when neither gives a usable name.
std::string PictureName(const Json::Value& row, const std::string& imgUrl)
{
    bool hasFileId = row.isObject() && !row["fileId"].isNull();
    if (hasFileId || imgUrl.empty()) {
        std::string fileId = JsonText(row, "fileId");
        return IsPlainFileName(fileId) ? fileId : std::string();
    }
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : imgUrl)
        hash = (hash ^ c) * 1099511628211ull;
    char name[24];
    std::snprintf(name, sizeof name, "url-%016llx", static_cast<unsigned long long>(hash));
    return name;
}

}  // namespace

const std::map<int, std::string>& AlarmTypeNames()
{
    static const std::map<int, std::string> names{{1, "移动侦测报警"}, {2, "外部报警"}};
    return names;
}

AlarmMgr::AlarmMgr()
{
    std::thread(&AlarmMgr::PictureLoop, this).detach();
}

std::string AlarmMgr::PictureFolder()
{
    return LocalConfig::Instance()->ProgramDirectory() + "tmp/";
}

int AlarmMgr::ReqAlarmList(const std::string& day, int hours, int page, int warnType)
{
    std::string body = "{\"cmd\":39,\"mobile\":" + JsonQuoted(UserSession::Instance()->Mobile()) +
                       ",\"pn\":" + std::to_string(page) + ",\"pageSize\":" + std::to_string(kPageSize) +
                       ",\"day\":" + JsonQuoted(day) + ",\"hours\":" + std::to_string(hours) +
                       ",\"warnType\":" + std::to_string(warnType) + "}";
    std::vector<AlarmRecord> read;
    int totalPage = 0;
    int result = CallService(kCommandPath, body, CodeForm::Text, errorText_, [&](const Json::Value& reply) {
        totalPage = JsonInt(reply, "totalPage");
        ForEachObject(JsonArray(reply, "rows"), [&](const Json::Value& row) {
            AlarmRecord alarm;
            alarm.warnType = JsonInt(row, "warnType");
            alarm.imgUrl = JsonText(row, "imgUrl");
            std::string pictureName = PictureName(row, alarm.imgUrl);
            alarm.deviceId = JsonText(row, "deviceId");
            alarm.deviceAlias = JsonUtf8Text(row, "deviceAlias");
            alarm.nodeName = JsonText(row, "nodeName");
            alarm.createTime = JsonText(row, "createTime");
            if (!pictureName.empty())
                alarm.localPath = PictureFolder() + pictureName + ".jpeg";
            read.push_back(alarm);
        });
    });
    if (result != 0)
        return -1;
    mkdir(PictureFolder().c_str(), 0755);
    for (AlarmRecord& alarm : read)
        alarm.key = NextAlarmKey();
    totalPage_ = totalPage;
    {
        base::CSingleLock lock(&lock_, true);
        alarms_ = read;
    }
    for (const AlarmRecord& alarm : read)
        RequestPicture(alarm.key, nullptr);
    return 0;
}

int AlarmMgr::ReqWarnSettings(const std::string& deviceId)
{
    std::string body = "{\"cmd\":36,\"clientInfoId\":" + JsonQuoted(UserSession::Instance()->ClientInfoId()) +
                       ",\"deviceId\":" + JsonQuoted(deviceId) + "}";
    std::vector<WarnSetting> read;
    int result = CallService(kCommandPath, body, CodeForm::Text, errorText_, [&](const Json::Value& reply) {
        ForEachObject(reply, [&](const Json::Value& element) {
            read.push_back({JsonText(element, "loginUUID"), JsonInt(element, "clientType"), JsonText(element, "mobile"),
                            JsonInt(element, "warnStatus"), JsonText(element, "warnSettingId")});
        });
    });
    if (result != 0)
        return -1;
    base::CSingleLock lock(&lock_, true);
    warnSettings_[deviceId] = std::move(read);
    return 0;
}

std::string AlarmMgr::ArmingBody(const std::vector<std::string>& deviceIds, const std::vector<WarnSetting>& settings,
                                 int isArming)
{
    std::string joined;
    for (std::size_t i = 0; i < deviceIds.size(); ++i)
        joined += (i == 0 ? "" : "##") + deviceIds[i];
    std::string body = "{\"cmd\":41,\"deviceIds\":" + JsonQuoted(joined) + ", \"isArming\":" + std::to_string(isArming);
    if (!settings.empty()) {
        body += ",\"warnSettingList\":[";
        for (std::size_t i = 0; i < settings.size(); ++i)
            body += std::string(i == 0 ? "" : ",") + "{ \"warnSettingId\":" + JsonQuoted(settings[i].warnSettingId) +
                    ", \"warnStatus\":" + std::to_string(settings[i].warnStatus) + "}";
        body += "]";
    }
    return body + "}";
}

int AlarmMgr::ReqArming(const std::vector<std::string>& deviceIds, const std::vector<WarnSetting>& settings, int isArming)
{
    return CallService(kCommandPath, ArmingBody(deviceIds, settings, isArming), CodeForm::Text, errorText_);
}

void AlarmMgr::GetAlarms(std::vector<AlarmRecord>& alarms)
{
    {
        base::CSingleLock lock(&lock_, true);
        alarms = alarms_;
    }
    unseenCount_ = 0;
}

bool AlarmMgr::FindAlarm(int key, AlarmRecord& alarm) const
{
    base::CSingleLock lock(&lock_, true);
    for (const AlarmRecord& candidate : alarms_) {
        if (candidate.key == key) {
            alarm = candidate;
            return true;
        }
    }
    return false;
}

void AlarmMgr::GetWarnSettings(const std::string& deviceId, std::vector<WarnSetting>& settings) const
{
    base::CSingleLock lock(&lock_, true);
    auto found = warnSettings_.find(deviceId);
    if (found != warnSettings_.end())
        settings = found->second;
}

void AlarmMgr::RequestPicture(int key, HWND window)
{
    {
        base::CSingleLock lock(&lock_, true);
        pictureRequests_.emplace_back(key, window);
    }
    pictureEvent_.Set();
}

void AlarmMgr::PictureLoop()
{
    for (;;) {
        pictureEvent_.Wait();
        std::vector<std::pair<int, HWND>> requests;
        {
            base::CSingleLock lock(&lock_, true);
            requests.swap(pictureRequests_);
        }
        for (const auto& [key, window] : requests) {
            AlarmRecord alarm;
            if (!FindAlarm(key, alarm))
                continue;
            bool present = !alarm.localPath.empty() &&
                           (access(alarm.localPath.c_str(), F_OK) == 0 || DownloadUrlToFile(alarm.imgUrl, alarm.localPath));
            if (window != nullptr)
                PostMessage(window, present ? WM_ALARM_PICTURE_READY : WM_ALARM_PICTURE_FAILED, static_cast<WPARAM>(key), 0);
        }
    }
}
