// The alarm query window with a large page: a stand-in service on loopback lists N alarms of N
// cameras on one page and serves their pictures (each after a 2 ms pause, as a remote service would).
// Per round: the window's opening (layout, request, list filled) against the request alone and a
// QTableWidget filled with the same cells; then, while the picture thread fetches the page's N
// pictures, how regularly a 10 ms timer of the UI thread still ticks. Prints medians and ranges.
//   alarm_query_bench [rows (500)] [rounds (5)]
#include "app/LocalConfig.h"
#include "duiWrap/CAlarmQueryfWnd.h"
#include "service/AlarmMgr.h"
#include "service/DeviceMgr.h"
#include "service/ServiceEndpoint.h"
#include "ui/CListUI.h"
#include "ui/UIlib.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <QTableWidget>
#include <QTimer>

#include <glog/logging.h>
#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string Jpeg()
{
    QImage image(640, 360, QImage::Format_RGB32);
    image.fill(QColor(60, 80, 100));
    QPainter(&image).fillRect(200, 100, 120, 90, Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG");
    return bytes.toStdString();
}

class StandInService {
public:
    explicit StandInService(int rows) : rows_(rows), picture_(Jpeg())
    {
        server_.Post("/vyr-api/ws/api/reqCmd", [this](const httplib::Request& request, httplib::Response& response) {
            response.set_content(request.body.find("\"cmd\":11") != std::string::npos ? DeviceList() : AlarmPage(),
                                 "application/json");
        });
        server_.Get(R"(/p/(\w+)\.jpeg)", [this](const httplib::Request&, httplib::Response& response) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            response.set_content(picture_, "image/jpeg");
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
    }
    ~StandInService()
    {
        server_.stop();
        thread_.join();
    }
    int Port() const { return port_; }
    // Each query lists pictures of new names, so every round fetches them all.
    void NextRound() { ++round_; }

private:
    std::string DeviceList() const
    {
        std::string devices;
        for (int i = 0; i < rows_; ++i)
            devices += std::string(i ? "," : "") + R"({"deviceId":"b)" + std::to_string(i) + R"(","alias":"摄像机)" +
                       std::to_string(i) + R"(","nodeType":2,"warnStatus":1})";
        return R"({"code":0,"msg":"","result":[{"nodeId":"1","nodeName":"仓库","nodeType":1,"childDevices":[)" + devices +
               "]}]}";
    }
    std::string AlarmPage() const
    {
        std::string rows;
        for (int i = 0; i < rows_; ++i) {
            const std::string file = "r" + std::to_string(round_.load()) + "x" + std::to_string(i);
            rows += std::string(i ? "," : "") + R"({"warnType":1,"imgUrl":"http://127.0.0.1:)" + std::to_string(port_) +
                    "/p/" + file + R"(.jpeg","fileId":")" + file + R"(","deviceId":"b)" + std::to_string(i) +
                    R"(","deviceAlias":"摄像机)" + std::to_string(i) + R"(","nodeName":"仓库","createTime":"2026-12-09 10:00:00"})";
        }
        return R"({"code":"0","msg":"","result":{"totalPage":1,"rows":[)" + rows + "]}}";
    }

    int rows_;
    std::string picture_;
    std::atomic<int> round_{0};
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
};

void Pump(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void Print(const char* what, const std::vector<double>& values, double reference)
{
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    std::printf("%-62s %9.1f  (%.1f-%.1f)  %5.2fx\n", what, Median(values), *low, *high, Median(values) / reference);
}

}  // namespace

int main(int argc, char** argv)
{
    FLAGS_minloglevel = google::GLOG_WARNING;
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::max(1, std::atoi(argv[1])) : 500;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const std::string folder =
        std::filesystem::temp_directory_path().string() + "/kelvue-alarm-bench-" + std::to_string(::getpid()) + "/";
    std::filesystem::create_directories(folder);
    LocalConfig::Instance()->InitAt(folder, folder + "kelvue");
    CPaintManagerUI::SetResourcePath(QString::fromUtf8(KELVUE_SKIN_DIR));

    StandInService service(rows);
    SetServiceEndpointForTesting("127.0.0.1", static_cast<std::uint16_t>(service.Port()));
    if (DeviceMgr::Instance()->FunQueryDeviceList() != 1) {
        std::fprintf(stderr, "the stand-in device list was not read\n");
        return 1;
    }

    std::vector<double> table, request, open, downloads, longestGap, ticksPerSecond;
    for (int round = 0; round < rounds; ++round) {
        // The reference: the same cells in a plain table, laid out.
        {
            QElapsedTimer clock;
            clock.start();
            QTableWidget widget(rows, 5);
            for (int r = 0; r < rows; ++r)
                for (int c = 0; c < 5; ++c)
                    widget.setItem(r, c, new QTableWidgetItem(QStringLiteral("摄像机%1").arg(r)));
            widget.resize(650, 450);
            widget.show();
            QApplication::processEvents();
            table.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
        }
        // The request alone.
        service.NextRound();
        {
            QElapsedTimer clock;
            clock.start();
            AlarmMgr::Instance()->ReqAlarmList("2026-12-09", 0, 0, 1);
            request.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
        }
        Pump(50);
        // Wait for the pictures the request asked for, so the window's round starts from a quiet thread.
        std::vector<AlarmRecord> records;
        AlarmMgr::Instance()->GetAlarms(records);
        auto allThere = [](const std::vector<AlarmRecord>& list) {
            return std::all_of(list.begin(), list.end(),
                               [](const AlarmRecord& a) { return std::filesystem::exists(a.localPath); });
        };
        for (QElapsedTimer wait; !allThere(records);) {
            if (!wait.isValid())
                wait.start();
            if (wait.elapsed() > 60000)
                break;
            Pump(20);
        }

        // The window: opening it with a new page of pictures, then the UI thread while they arrive.
        service.NextRound();
        auto* window = new CAlarmQueryfWnd(nullptr);
        QElapsedTimer clock;
        clock.start();
        window->Create(nullptr, QStringLiteral("AlarmQueryWnd"), 0x96C80000, 0x100);
        window->ShowWindow(true);
        QApplication::processEvents();
        open.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
        AlarmMgr::Instance()->GetAlarms(records);
        QElapsedTimer since;
        since.start();
        qint64 last = 0, gap = 0;
        int ticks = 0;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            const qint64 now = since.elapsed();
            gap = std::max(gap, now - last);
            last = now;
            ++ticks;
        });
        timer.start(10);
        auto* list = window->GetPaintManager()->FindControlAs<CListUI>(QStringLiteral("Alarmlist"));
        int selected = 0;
        while (!allThere(records) && since.elapsed() < 60000) {
            // A user going down the list meanwhile.
            if (list && list->GetCount() > 0)
                list->SelectItem(selected++ % list->GetCount());
            Pump(20);
        }
        timer.stop();
        downloads.push_back(static_cast<double>(since.elapsed()));
        longestGap.push_back(static_cast<double>(gap));
        ticksPerSecond.push_back(ticks * 1000.0 / std::max<qint64>(1, since.elapsed()));
        window->DestroyWindow();
        delete window;
        Pump(50);
    }

    std::printf("alarm query, %d rows on one page, %d rounds: median ms (range), ratio\n", rows, rounds);
    Print("QTableWidget filled with the same cells (reference)", table, Median(table));
    Print("alarm list request alone (HTTP + reply read)", request, Median(table));
    Print("alarm query window opened (layout, request, list filled)", open, Median(table));
    std::printf("while the picture thread fetched %d pictures (2 ms pause each):\n", rows);
    std::printf("  fetch time ms %.0f (%.0f-%.0f); 10 ms timer: longest gap ms %.0f (%.0f-%.0f), ticks/s %.0f\n",
                Median(downloads), *std::min_element(downloads.begin(), downloads.end()),
                *std::max_element(downloads.begin(), downloads.end()), Median(longestGap),
                *std::min_element(longestGap.begin(), longestGap.end()),
                *std::max_element(longestGap.begin(), longestGap.end()), Median(ticksPerSecond));
    std::filesystem::remove_all(folder);
    std::fflush(stdout);
    std::_Exit(0);  // the picture thread runs for the life of the process
}
