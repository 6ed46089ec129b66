// Remote playback through the real client: the playback window opened from the title bar and from a
// cell's toolbar, searching camsim's recordings, the replay drawn in the window with its progress,
// seeks, speeds, captures, the failures a user can meet, and a burst of random seeks and speed
// changes. camsim's replay pictures carry the recording's time (camsim::ReplayClock), which the tests
// read back from the picture the window shows.
#include "ClientEndToEnd.h"
#include "app/LocalConfig.h"
#include "device/CamParamMgr.h"
#include "device/CommandTexts.h"
#include "duiWrap/CDuiFrameWnd.h"
#include "ffplayer/MediaProbe.h"
#include "ui/CDateTimeUI.h"
#include "ui/COptionUI.h"
#include "ui/CSliderUI.h"
#include "ui/VideoSurface.h"
#include "ui/WindowMessages.h"
#include "ui/WindowRegistry.h"
#include "video/CCPlayToolBarWnd.h"
#include "video/CDlgPanel.h"
#include "video/CDlgReplayVideo.h"
#include "video/CPlayInnerWnd.h"
#include "video/CRemoveQuery.h"
#include "video/CvyrProDlg.h"
#include "video/PlayerManager.h"
#include "video/ReplayClock.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QImage>
#include <QMessageBox>
#include <QPixmap>
#include <QRegularExpression>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>

namespace fs = std::filesystem;

namespace {

// Yesterday at a local time: always within the week camsim keeps, and never in the future.
QDateTime Yesterday(int hour, int minute, int second = 0)
{
    return QDateTime(QDate::currentDate().addDays(-1), QTime(hour, minute, second));
}

SYSTEMTIME ToSystemTime(const QDateTime& when)
{
    SYSTEMTIME time;
    time.wYear = static_cast<WORD>(when.date().year());
    time.wMonth = static_cast<WORD>(when.date().month());
    time.wDay = static_cast<WORD>(when.date().day());
    time.wHour = static_cast<WORD>(when.time().hour());
    time.wMinute = static_cast<WORD>(when.time().minute());
    time.wSecond = static_cast<WORD>(when.time().second());
    return time;
}

// The playback window on the screen, if one is.
CRemoveQuery* ShownPlaybackWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = dynamic_cast<CRemoveQuery*>(CWindowWnd::FromWidget(widget)))
            if (widget->isVisible())
                return window;
    return nullptr;
}

}  // namespace

class PlaybackEndToEnd : public ClientEndToEnd {
public:
    static void SetUpTestSuite()
    {
        ClientEndToEnd::SetUpTestSuite();
        StartClient();
    }

protected:
    static constexpr const char* kCamera = "kv100101";

    // Opens the playback window with `open` (a click that runs it modally, at once or through a posted
    // message) and runs `body` inside its modal loop, from a timer that looks for the window; the window
    // is closed with its close button afterwards, also when `body` failed.
    static void WithPlayback(const std::function<void()>& open, const std::function<void(CRemoveQuery&)>& body)
    {
        bool ran = false;
        QTimer look;
        QElapsedTimer waited;
        waited.start();
        QObject::connect(&look, &QTimer::timeout, [&] {
            CRemoveQuery* window = ShownPlaybackWindow();
            if (!window) {
                // Another modal window (a message box?) runs instead: fail and close it, rather than
                // wait inside its loop for ever.
                if (waited.elapsed() < 20000)
                    return;
                look.stop();
                auto* other = dynamic_cast<CWindowWnd*>(CWindowWnd::FromWidget(QApplication::activeModalWidget()));
                ADD_FAILURE() << "the playback window did not open; "
                              << (other ? "another modal window ran instead" : "nothing modal runs");
                if (other)
                    other->Close(0);
                return;
            }
            look.stop();
            body(*window);
            uitest::Click(window->FindControl(QStringLiteral("IDC_CLOSE")));
            ran = true;
        });
        look.start(50);
        open();
        ASSERT_TRUE(uitest::PumpUntil([&] { return ran && !ShownPlaybackWindow(); }, 8000)) << "the window opened and closed";
    }

    // The title bar's "VideoPlay" for the camera made current by a click on its row.
    static void WithPlaybackOf(const std::string& deviceId, const std::function<void(CRemoveQuery&)>& body)
    {
        if (Main()->CurDeviceId() != deviceId) {
            ASSERT_TRUE(ActivateCamera(deviceId));
        }
        ASSERT_EQ(deviceId, Main()->CurDeviceId());
        WithPlayback([] { uitest::Click(Main()->FindControl(QStringLiteral("VideoPlay"))); }, body);
    }

    // Picks the period in the pickers and presses "search and play".
    static void PressSearch(CRemoveQuery& window, const QDateTime& from, const QDateTime& to)
    {
        const SYSTEMTIME day = ToSystemTime(from), start = ToSystemTime(from), end = ToSystemTime(to);
        uitest::Find<CDateTimeUI>(window, QStringLiteral("conDateT0"))->SetTime(&day);
        uitest::Find<CDateTimeUI>(window, QStringLiteral("conDateT1"))->SetTime(&start);
        uitest::Find<CDateTimeUI>(window, QStringLiteral("conDateT2"))->SetTime(&end);
        uitest::Click(window.FindControl(QStringLiteral("IDC_BT_PLAY")));
    }
    // The same, true once the replay shows frames.
    static bool Search(CRemoveQuery& window, const QDateTime& from, const QDateTime& to)
    {
        VideoSurface* surface = window.ReplayVideo()->Surface();
        const int before = surface->FramesPainted();
        PressSearch(window, from, to);
        return uitest::PumpUntil([&] { return surface->FramesPainted() > before + 2; }, 15000);
    }

    // The recording's second of the day that the window's picture shows (-1 when none is legible).
    static int PictureClock(CRemoveQuery& window)
    {
        VideoSurface* surface = window.ReplayVideo()->Surface();
        const QImage shown = surface->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QSize frame = surface->LastFrameSize();
        if (frame.isEmpty())
            return -1;
        // Where the surface draws the frame (its aspect kept, centred).
        const QSize scaled = frame.scaled(shown.size(), Qt::KeepAspectRatio);
        const QImage picture = shown.copy(QRect(QPoint((shown.width() - scaled.width()) / 2,
                                                       (shown.height() - scaled.height()) / 2),
                                                scaled));
        return camsim::ReplayClock::Read(picture.constBits(), picture.width(), picture.height(),
                                         static_cast<int>(picture.bytesPerLine()));
    }

    // Waits until the picture shows a second within `tolerance` of `second`.
    static bool PictureReaches(CRemoveQuery& window, int second, int tolerance, int timeoutMs, int* shown = nullptr)
    {
        int last = -1;
        const bool reached = uitest::PumpUntil(
            [&] {
                last = PictureClock(window);
                return last >= 0 && std::abs(last - second) <= tolerance;
            },
            timeoutMs);
        if (shown)
            *shown = last;
        return reached;
    }

    static int SecondOfDay(const QDateTime& when) { return when.time().msecsSinceStartOfDay() / 1000; }
    static int Slider(CRemoveQuery& window)
    {
        return uitest::Find<CSliderUI>(window, QStringLiteral("Slider_RemoveQuery"))->GetValue();
    }
    static QString TextOf(CRemoveQuery& window, const char* name)
    {
        return window.FindControl(QString::fromUtf8(name))->GetText();
    }
    // Moves the slider as a user's drag ends there.
    static void MoveSlider(CRemoveQuery& window, int value)
    {
        uitest::Find<CSliderUI>(window, QStringLiteral("Slider_RemoveQuery"))->SetValue(value);
    }
    // The picture's clock seconds per second of wall time: from one change of the shown second to the
    // change `seconds` later (the clock shows whole seconds, so its edges are what can be timed).
    static double ClockRate(CRemoveQuery& window, int seconds)
    {
        const int before = PictureClock(window);
        if (!uitest::PumpUntil([&] { return PictureClock(window) != before; }, 3000))
            return -1;
        const int first = PictureClock(window);
        const auto start = std::chrono::steady_clock::now();
        if (!uitest::PumpUntil([&] { return PictureClock(window) >= first + seconds; }, 3000 + 2000 * seconds))
            return -1;
        const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return (PictureClock(window) - first) / elapsed;
    }
};

TEST_F(PlaybackEndToEnd, ReplayPlaysInTheWindowAndTheSliderFollowsThePlayer)
{
    const QDateTime from = Yesterday(10, 0), to = Yesterday(10, 2);
    const size_t sent = camsim_.Received(kCamera).size();
    WithPlaybackOf(kCamera, [&](CRemoveQuery& window) {
        EXPECT_EQ(kCamera, window.DeviceId());
        EXPECT_EQ(QString(kCamera), TextOf(window, "labCameraN"));
        EXPECT_FALSE(TextOf(window, "labNodeN").isEmpty());
        EXPECT_EQ(QString("0"), TextOf(window, "IDC_STATIC_SPEED"));
        EXPECT_FALSE(window.FindControl(QStringLiteral("IDC_BT_STOP"))->IsEnabled()) << "idle: only the search";
        EXPECT_TRUE(window.FindControl(QStringLiteral("IDC_BT_PLAY"))->IsEnabled());

        ASSERT_TRUE(Search(window, from, to));
        const std::vector<std::string> search = CameraGot(kCamera, 1, sent, R"({"cmd":50)");
        ASSERT_EQ(1u, search.size());
        EXPECT_EQ(CommandTexts::ReplaySearch(from.toSecsSinceEpoch(), to.toSecsSinceEpoch()), search[0]);
        EXPECT_TRUE(uitest::PumpUntil([&] { return window.FindControl(QStringLiteral("IDC_BT_STOP"))->IsEnabled(); }));
        EXPECT_EQ(QString("00:02:00"), TextOf(window, "totalplaytime"));
        EXPECT_EQ(120000, window.Control().PeriodMs()) << "the player's length";

        // The picture is the recording's, from its start; the slider moves with the player's position.
        int shown = -1;
        EXPECT_TRUE(PictureReaches(window, SecondOfDay(from) + 1, 2, 5000, &shown)) << shown;
        ASSERT_TRUE(uitest::PumpUntil([&] { return Slider(window) >= 2; }, 6000)) << Slider(window);
        const int slider = Slider(window);
        const int second = PictureClock(window) - SecondOfDay(from);
        EXPECT_NEAR(second * 100 / 120, slider, 2) << "slider and picture agree";
        uitest::SaveScreenshot(window, QString::fromStdString(ScreenshotDir() + "/playback-window.png"));

        // Stop: the player stops, the camera hears cmd 51 with the replay's address.
        const size_t before = camsim_.Received(kCamera).size();
        uitest::Click(window.FindControl(QStringLiteral("IDC_BT_STOP")));
        const std::vector<std::string> stop = CameraGot(kCamera, 1, before, R"({"cmd":51)");
        ASSERT_EQ(1u, stop.size());
        EXPECT_EQ(CommandTexts::ReplayStop(window.Control().ReplayUrl()), stop[0]);
        EXPECT_TRUE(uitest::PumpUntil([&] { return !window.FindControl(QStringLiteral("IDC_BT_STOP"))->IsEnabled(); }));
    });
}

TEST_F(PlaybackEndToEnd, SeekMovesThePictureAndSpeedTwoAdvancesTwiceAsFast)
{
    const QDateTime from = Yesterday(11, 0), to = Yesterday(11, 10);
    WithPlaybackOf(kCamera, [&](CRemoveQuery& window) {
        ASSERT_TRUE(Search(window, from, to));
        ASSERT_TRUE(PictureReaches(window, SecondOfDay(from), 3, 5000));

        // Half way: cmd 54 at five minutes, and the picture shows 11:05.
        const size_t before = camsim_.Received(kCamera).size();
        MoveSlider(window, 50);
        const std::vector<std::string> seek = CameraGot(kCamera, 1, before, R"({"cmd":54)");
        ASSERT_EQ(1u, seek.size());
        EXPECT_EQ(CommandTexts::ReplaySeek(window.Control().ReplayUrl(), 5), seek[0]);
        int shown = -1;
        EXPECT_TRUE(PictureReaches(window, SecondOfDay(from) + 300, 2, 5000, &shown)) << shown;
        EXPECT_TRUE(uitest::PumpUntil([&] { return Slider(window) >= 50 && Slider(window) <= 52; }, 3000))
            << Slider(window);

        const double normal = ClockRate(window, 3);
        // Faster: "2x", cmd 53 with 2, and after the reopen the recording runs twice as fast.
        const size_t beforeSpeed = camsim_.Received(kCamera).size();
        uitest::Click(window.FindControl(QStringLiteral("IDC_BT_FSFW")));
        EXPECT_EQ(QString("2x"), TextOf(window, "IDC_STATIC_SPEED"));
        const std::vector<std::string> speed = CameraGot(kCamera, 1, beforeSpeed, R"({"cmd":53)");
        ASSERT_EQ(1u, speed.size());
        EXPECT_EQ(CommandTexts::ReplaySpeed(window.Control().ReplayUrl(), 2), speed[0]);
        // The reopen comes a second after the press; then the replay goes on from the last seek.
        uitest::Pump(CRemoveQuery::kReopenDelayMs + 200);
        const int reopened = window.ReplayVideo()->Surface()->FramesPainted();
        ASSERT_TRUE(uitest::PumpUntil([&] { return window.ReplayVideo()->Surface()->FramesPainted() > reopened + 12; }, 6000));
        const double fast = ClockRate(window, 6);
        std::printf("picture clock: %.2f s per second at 1x, %.2f at 2x\n", normal, fast);
        EXPECT_NEAR(1.0, normal, 0.2);
        EXPECT_NEAR(2.0, fast, 0.4);
        EXPECT_GE(Slider(window), 50) << "the reopened replay goes on from the seek";

        // Slower twice: "0", then "-2x" with 0.5.
        uitest::Click(window.FindControl(QStringLiteral("IDC_BT_FSBW")));
        uitest::Click(window.FindControl(QStringLiteral("IDC_BT_FSBW")));
        EXPECT_EQ(QString("-2x"), TextOf(window, "IDC_STATIC_SPEED"));
        EXPECT_EQ(0.5, window.Control().SpeedFactor());
    });
}

// Searching again while a replay plays: the open replay is ended (cmd 51) and the new period is shown.
TEST_F(PlaybackEndToEnd, ASecondSearchWhileAReplayPlaysShowsTheNewPeriod)
{
    const QDateTime first = Yesterday(16, 0), second = Yesterday(17, 0);
    WithPlaybackOf(kCamera, [&](CRemoveQuery& window) {
        ASSERT_TRUE(Search(window, first, first.addSecs(600)));
        ASSERT_TRUE(PictureReaches(window, SecondOfDay(first) + 1, 2, 5000));
        const std::string firstUrl = window.Control().ReplayUrl();
        const size_t before = camsim_.Received(kCamera).size();
        PressSearch(window, second, second.addSecs(600));
        int shown = -1;
        EXPECT_TRUE(PictureReaches(window, SecondOfDay(second) + 1, 2, 8000, &shown))
            << "the picture shows " << shown << ", not the second period";
        uitest::SaveScreenshot(window, QString::fromStdString(ScreenshotDir() + "/playback-second-search.png"));
        EXPECT_EQ(std::vector<std::string>{CommandTexts::ReplayStop(firstUrl)},
                  CameraGot(kCamera, 1, before, R"({"cmd":51)"));
        EXPECT_EQ(1u, CameraGot(kCamera, 1, before, R"({"cmd":50)").size());
        EXPECT_TRUE(uitest::PumpUntil([&] { return window.FindControl(QStringLiteral("IDC_BT_STOP"))->IsEnabled(); }));
    });
}

TEST_F(PlaybackEndToEnd, RecordingAndSnapshotLandInThePlaybackFolders)
{
    const QDateTime from = Yesterday(12, 0), to = Yesterday(12, 10);
    uitest::MsgTipRecorder boxes;
    WithPlaybackOf(kCamera, [&](CRemoveQuery& window) {
        ASSERT_TRUE(Search(window, from, to));
        ASSERT_TRUE(uitest::PumpUntil([&] { return window.FindControl(QStringLiteral("IDC_BT_SAVEAVI"))->IsEnabled(); }));
        auto* record = uitest::Find<COptionUI>(window, QStringLiteral("IDC_BT_SAVEAVI"));
        uitest::Click(record);
        EXPECT_TRUE(record->IsSelected());
        uitest::Pump(2500);
        uitest::Click(record);
        EXPECT_FALSE(record->IsSelected());
        uitest::Click(window.FindControl(QStringLiteral("IDC_BT_CAPTURE")));
        EXPECT_TRUE(uitest::PumpUntil([&] { return fs::exists(window.SnapshotPath()); }, 5000));
        uitest::Pump(300);

        const QRegularExpression captureName(QStringLiteral(R"(^\d{4}_\d{1,2}_\d{1,2}_\d{1,2}_\d{1,2}_\d{1,2}_\d{1,3}\.(flv|png)$)"));
        const fs::path recording = window.RecordPath(), snapshot = window.SnapshotPath();
        EXPECT_EQ(fs::path(LocalConfig::Instance()->GetReVideoPath()), recording.parent_path() / "");
        EXPECT_EQ(fs::path(LocalConfig::Instance()->GetRePicPath()), snapshot.parent_path() / "");
        EXPECT_TRUE(captureName.match(QString::fromStdString(recording.filename().string())).hasMatch()) << recording;
        EXPECT_TRUE(captureName.match(QString::fromStdString(snapshot.filename().string())).hasMatch()) << snapshot;
        const std::string format = ProbeFormat(recording.string());
        EXPECT_NE(std::string::npos, format.find("flv")) << format;
        EXPECT_NE(std::string::npos, format.find("h264")) << format;
        EXPECT_GT(ProbeDuration(recording.string()), 1.5);
        const QImage picture(QString::fromStdString(snapshot.string()));
        int width = 0, height = 0;
        PlayerManager::Instance()->GetVideoSize(window.PlayerId(), width, height);
        EXPECT_GT(width, 0);
        EXPECT_EQ(QSize(width, height), picture.size()) << "a PNG at the video's size";
        // A capture tip for each (toolkit windows carry their class name).
        QStringList tips;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->isVisible() && (widget->objectName() == "CRecrodTipWnd" || widget->objectName() == "CSnapnotTipWnd"))
                tips << widget->objectName();
        tips.sort();
        EXPECT_EQ((QStringList{"CRecrodTipWnd", "CSnapnotTipWnd"}), tips);
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (tips.contains(widget->objectName()))
                if (CWindowWnd* tip = CWindowWnd::FromWidget(widget))
                    tip->Close(0);
    });
    EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join('|').toStdString();
}

TEST_F(PlaybackEndToEnd, FailuresAUserCanMeet)
{
    uitest::MsgTipRecorder boxes;
    QStringList systemBoxes;
    // The system message box: read and confirmed as a user would.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            systemBoxes << box->windowTitle() + ":" + box->text();
            box->accept();
        }
    });
    answer.start(50);

    WithPlaybackOf(kCamera, [&](CRemoveQuery& window) {
        // Nothing recorded in the nightly gap.
        PressSearch(window, Yesterday(2, 10), Yesterday(2, 40));
        EXPECT_TRUE(uitest::PumpUntil([&] { return boxes.texts.contains(QStringLiteral("无回放视频可看")); }, 5000))
            << boxes.texts.join('|').toStdString();

        // A replay address that cannot be opened: three tries, then the system box.
        boxes.texts.clear();
        ASSERT_TRUE(e2e::CamsimPost(kCamera, "say",
                                    R"({"cmd":50,"err_num":0,"real_time":1,"replay_url":"http://127.0.0.1:1/replay/1.flv"})"));
        EXPECT_TRUE(uitest::PumpUntil([&] { return !systemBoxes.isEmpty(); }, 8000));
        EXPECT_EQ(QStringList{QStringLiteral("提示:回放视频打开失败!")}, systemBoxes);
        EXPECT_EQ(3, window.Control().OpenFailures());

        // A short period played to its end: the end is shown, not a failure.
        ASSERT_TRUE(Search(window, Yesterday(13, 0, 0), Yesterday(13, 0, 6)));
        EXPECT_TRUE(uitest::PumpUntil([&] { return TextOf(window, "replaytip") == QStringLiteral("回放结束"); }, 12000));
        EXPECT_EQ(100, Slider(window));
        EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join('|').toStdString();
        EXPECT_TRUE(uitest::PumpUntil([&] { return window.FindControl(QStringLiteral("IDC_BT_PLAY"))->IsEnabled() &&
                                                   !window.FindControl(QStringLiteral("IDC_BT_STOP"))->IsEnabled(); }));

        // A replay that breaks half way (the camera ends it) is a failure.
        ASSERT_TRUE(Search(window, Yesterday(14, 0), Yesterday(14, 10)));
        uitest::Pump(1000);
        CamParamMgr::Instance()->PostCmd(kCamera, CommandTexts::ReplayStop(window.Control().ReplayUrl()));
        EXPECT_TRUE(uitest::PumpUntil([&] { return boxes.texts.contains(QStringLiteral("播放失败")); }, 10000))
            << boxes.texts.join('|').toStdString();
        EXPECT_NE(QStringLiteral("回放结束"), TextOf(window, "replaytip"));
    });
    EXPECT_EQ(1, systemBoxes.size());
}

TEST_F(PlaybackEndToEnd, TheCellsPlaybackButtonOpensThatCellsCamera)
{
    Main()->VideoWall()->StopAll();  // the camera goes into a cell on show
    ASSERT_TRUE(ActivateCamera("kv100102"));
    int cell = -1;
    ASSERT_TRUE(uitest::PumpUntil([&] { return (cell = CellPlaying("kv100102")) >= 0; }, 15000)) << WallState();
    ASSERT_TRUE(ActivateCamera("kv100103"));
    ASSERT_EQ("kv100103", Main()->CurDeviceId());
    CPlayInnerWnd* inner = Main()->VideoWall()->Panel(cell)->Inner();
    ::SendMessage(inner->GetHWND(), WM_MOUSEHOVER, 0, 0);
    WithPlayback([&] { uitest::Click(inner->Toolbar()->FindControl(QStringLiteral("btn_playback"))); },
                 [&](CRemoveQuery& window) {
                     EXPECT_EQ("kv100102", window.DeviceId());
                     EXPECT_EQ(QString("kv100102"), TextOf(window, "labCameraN"));
                     EXPECT_EQ("kv100102", Main()->CurDeviceId()) << "its speed and seek commands go to it";
                 });
}

// Seeks are where replays crash most: a burst of random seeks and speed changes during one replay,
// then the picture must follow the last seek.
TEST_F(PlaybackEndToEnd, TwoHundredRandomSeeksAndSpeedChangesThenThePictureFollowsTheLastSeek)
{
    const QDateTime from = Yesterday(15, 0), to = Yesterday(15, 10);
    WithPlaybackOf(kCamera, [&](CRemoveQuery& window) {
        ASSERT_TRUE(Search(window, from, to));
        std::mt19937 random(20261209);
        std::uniform_int_distribution<int> action(0, 9), value(0, 100), pause(10, 60);
        const size_t before = camsim_.Received(kCamera).size();
        int seeks = 0, speeds = 0;
        std::chrono::steady_clock::duration longest{};
        for (int i = 0; i < 200; ++i) {
            const auto start = std::chrono::steady_clock::now();
            const int a = action(random);
            if (a < 7) {
                MoveSlider(window, value(random));
                ++seeks;
            } else {
                uitest::Click(window.FindControl(a == 7 ? QStringLiteral("IDC_BT_FSBW") : QStringLiteral("IDC_BT_FSFW")));
                ++speeds;
            }
            longest = std::max(longest, std::chrono::steady_clock::now() - start);
            uitest::Pump(pause(random));
        }
        std::printf("%d seeks, %d speed presses; longest action %lld ms\n", seeks, speeds,
                    static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(longest).count()));
        EXPECT_LT(longest, std::chrono::seconds(1)) << "the window kept answering";

        // Back to normal speed, then one last seek: 70 % of ten minutes is 15:07.
        // (A replay that ended meanwhile disables the buttons: that fails here rather than loops.)
        for (int press = 0; press < 10 && TextOf(window, "IDC_STATIC_SPEED") != "0"; ++press)
            uitest::Click(window.FindControl(TextOf(window, "IDC_STATIC_SPEED").startsWith('-')
                                                 ? QStringLiteral("IDC_BT_FSFW")
                                                 : QStringLiteral("IDC_BT_FSBW")));
        ASSERT_EQ(TextOf(window, "IDC_STATIC_SPEED"), "0") << "the speed buttons no longer answer";
        uitest::Pump(1500);  // the reopen after the speed change
        MoveSlider(window, 70);
        int shown = -1;
        EXPECT_TRUE(PictureReaches(window, SecondOfDay(from) + 420, 2, 8000, &shown))
            << "picture at " << shown << ", wanted " << SecondOfDay(from) + 420;
        uitest::Pump(2000);
        EXPECT_NEAR(SecondOfDay(from) + 423, PictureClock(window), 2) << "and plays on from there";
        const std::vector<std::string> got = CameraGot(kCamera, 1, before, R"({"cmd":54)");
        EXPECT_FALSE(got.empty());
        std::printf("the camera received %zu commands\n", camsim_.Received(kCamera).size() - before);
    });
}
