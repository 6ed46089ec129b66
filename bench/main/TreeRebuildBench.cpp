// Rebuilding the device tree of 1,000 nodes and 10,000 cameras (11,001 rows with the account row),
// as the main window does on every camera that comes online, against filling a plain QTreeWidget
// with the same rows in the same run. Also: the node tree alone, and the row walk as first written
// (each insertion point searched in the rows), which grows with the square of the tree. Last, an
// account of 50,000 cameras that are no contacts yet, with the real IM client connected to a prosody
// of the benchmark's own: the rebuilds asking for every camera's presence, and how the UI thread
// keeps up while the IM thread sends those requests.
#include "TreeBench.h"

#include "duiWrap/CamListUI.h"
#include "duiWrap/DeviceListBuilder.h"
#include "duiWrap/RowMarkup.h"
#include "ui/CPaintManagerUI.h"
#include "ui/UIlib.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QTreeWidget>

#ifdef KELVUE_BENCH_PROSODY
#include "PrivateProsody.h"
#include "glooxWrap/CIMClient.h"
#include "glooxWrap/ImEvents.h"
#include "ui/MessageTarget.h"
#include "ui/WindowMessages.h"

#include <thread>
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <memory>

namespace {

// The rows as first written: the node tree beside a flat row list, the insertion point of each new
// row found by searching the list for the parent's last descendant.
class WalkingRows {
public:
    struct Node {
        Node* parent = nullptr;
        std::vector<std::unique_ptr<Node>> children;
        int level = -1;
        std::string text;
    };
    Node* Add(const std::string& text, Node* parent)
    {
        auto node = std::make_unique<Node>();
        node->parent = parent;
        node->level = parent->level + 1;
        node->text = RowMarkup::RowText(node->level, true, false, text);
        size_t at = 0;
        if (!parent->children.empty()) {
            Node* last = parent->children.back().get();
            while (!last->children.empty())
                last = last->children.back().get();
            at = static_cast<size_t>(std::find(rows_.begin(), rows_.end(), last) - rows_.begin()) + 1;
        } else if (parent != &root_) {
            at = static_cast<size_t>(std::find(rows_.begin(), rows_.end(), parent) - rows_.begin()) + 1;
        }
        rows_.insert(rows_.begin() + static_cast<long>(at), node.get());
        parent->children.push_back(std::move(node));
        return parent->children.back().get();
    }
    void Build(const std::vector<NodeRecord>& tree)
    {
        root_.children.clear();
        rows_.clear();
        Node* account = Add("account", &root_);
        for (const NodeRecord& n : tree)
            BuildNode(n, account);
    }
    size_t Count() const { return rows_.size(); }

private:
    void BuildNode(const NodeRecord& record, Node* parent)
    {
        Node* row = Add(RowMarkup::kNodeIcon + record.nodeName, parent);
        for (const DeviceRecord& d : record.childDevices)
            Add(RowMarkup::kCameraOnlineIcon + d.alias, row);
        for (const NodeRecord& c : record.childNodes)
            BuildNode(c, row);
    }
    Node root_;
    std::vector<Node*> rows_;
};

// Fills an empty widget (the caller clears it beforehand, outside the timing: the reference is the
// fill alone, while the client's rebuild includes dropping its previous rows).
void FillTreeWidget(QTreeWidget& widget, const std::vector<NodeRecord>& tree)
{
    auto* account = new QTreeWidgetItem(&widget, QStringList(QStringLiteral("13800138000")));
    std::function<void(const NodeRecord&, QTreeWidgetItem*)> add = [&](const NodeRecord& n, QTreeWidgetItem* parent) {
        auto* item = new QTreeWidgetItem(parent, QStringList(QString::fromStdString(n.nodeName)));
        for (const DeviceRecord& d : n.childDevices)
            new QTreeWidgetItem(item, QStringList(QString::fromStdString(d.alias)));
        for (const NodeRecord& c : n.childNodes)
            add(c, item);
    };
    for (const NodeRecord& n : tree)
        add(n, account);
    account->setExpanded(true);
}

const char* kLayout = R"(<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0"><class>BenchWnd</class>
 <widget class="QWidget" name="BenchWnd">
  <property name="geometry"><rect><x>0</x><y>0</y><width>270</width><height>700</height></rect></property>
  <layout class="QVBoxLayout" name="column"><item><widget class="MonitorLis" name="gamelist"/></item></layout>
 </widget></ui>)";

class BenchWindow : public WindowImplBase {
public:
    QString GetWindowClassName() const override { return QStringLiteral("BenchWnd"); }
    CControlUI* CreateControl(const CDuiString& cls) override { return cls == "MonitorLis" ? new CamListUI : nullptr; }

protected:
    CDuiString GetSkinFile() override { return QString::fromUtf8(kLayout); }
};

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// "median ms (min-max)"
std::string Spread(const std::vector<double>& v)
{
    char text[64];
    std::snprintf(text, sizeof text, "%8.1f ms (%.1f-%.1f)", Median(v), *std::min_element(v.begin(), v.end()),
                  *std::max_element(v.begin(), v.end()));
    return text;
}

// The plain widget emptied and its events handled, so that a timed fill starts from an empty tree.
void ClearTreeWidget(QTreeWidget& widget)
{
    widget.clear();
    QApplication::processEvents();
}

std::string LoadAverage()
{
    double load[3] = {};
    if (getloadavg(load, 3) != 3)
        return "unknown";
    char text[48];
    std::snprintf(text, sizeof text, "%.2f %.2f %.2f", load[0], load[1], load[2]);
    return text;
}

#ifdef KELVUE_BENCH_PROSODY
// Stands in for the main window as the IM client's notify window; drops the events.
class EventSink : public MessageTarget {
public:
    LRESULT OnWindowMessage(UINT message, WPARAM, LPARAM lParam) override
    {
        if (message == WM_IM_MESSAGE)
            TakeImMessage(lParam);
        else if (message == WM_IM_PRESENCE)
            TakePresenceId(lParam);
        return 0;
    }
};

// The 50,000-camera account of a first start: no camera is a contact yet.
void FiftyThousandNewCameras(CamListUI& list, QTreeWidget& plain, int runs)
{
    PrivateProsody server;
    server.AddAccount("bench", "pw");
    if (!server.Start()) {
        std::printf("50,000 new cameras: skipped, prosody did not start (%s)\n", server.Error().c_str());
        return;
    }
    EventSink sink;
    CIMClient im;
    im.SetNotifyWnd(sink.GetHWND());
    std::thread imThread([&] { im.ConnectServer("bench", "pw", KELVUE_DEVICE_DOMAIN, "127.0.0.1", server.Port()); });
    if (!im.RosterGate().WaitFor(std::chrono::seconds(10))) {
        std::printf("50,000 new cameras: skipped, no IM session\n");
        im.Disconnect();
        imThread.join();
        return;
    }
    const std::vector<NodeRecord> tree = MakeBenchTree(500, 9, 10);
    auto rebuild = [&] {
        DeviceListBuilder::RebuildDeviceTree(list.Rows(), "13800138000", tree, im);
        QApplication::processEvents();
    };
    std::vector<double> fills;
    for (int i = 0; i < runs; ++i) {
        ClearTreeWidget(plain);
        fills.push_back(MedianMs(1, [&] {
            FillTreeWidget(plain, tree);
            QApplication::processEvents();
        }));
    }
    const double reference = Median(fills);
    // The list's rows once filled, so the first measured rebuild is not its first fill.
    BenchMessenger contacts(tree);
    DeviceListBuilder::RebuildDeviceTree(list.Rows(), "13800138000", tree, contacts);
    QApplication::processEvents();
    // The first rebuild asks for all 50,000 presences; then the UI thread's timer is watched for 5 s
    // while the IM thread sends them and reads the server's roster pushes.
    const double first = MedianMs(1, rebuild);
    int ticks = 0;
    qint64 longestGap = 0;
    QElapsedTimer clock, sinceTick;
    clock.start();
    sinceTick.start();
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        ++ticks;
        longestGap = std::max(longestGap, sinceTick.restart());
    });
    timer.start();
    while (clock.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    timer.stop();
    std::vector<double> later;
    for (int i = 0; i < runs; ++i)
        later.push_back(MedianMs(1, rebuild));
    std::printf("50,000 cameras that are no contacts yet (%d rows), real IM client on a prosody of its own:\n",
                list.GetCount());
    std::printf("  %-48s %8.1f ms   1.00x (reference)\n", "QTreeWidget filled with the same rows", reference);
    std::printf("  %-48s %8.1f ms  %5.2fx\n", "first rebuild (asks for 50,000 presences)", first, first / reference);
    std::printf("  %-48s %8.1f ms  %5.2fx\n", "later rebuilds (nothing left to ask)", Median(later),
                Median(later) / reference);
    std::printf("  UI thread in the 5 s after the first rebuild: %d ticks of a 10 ms timer, longest gap %lld ms\n",
                ticks, static_cast<long long>(longestGap));
    im.Disconnect();
    imThread.join();
}
#endif

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    const std::vector<NodeRecord> tree = MakeBenchTree();
    BenchMessenger im(tree);

    QTreeWidget plain;
    plain.resize(270, 700);
    plain.setHeaderHidden(true);
    plain.show();

    BenchWindow window;
    window.Create(nullptr, QStringLiteral("Bench"), UI_WNDSTYLE_FRAME, 0);
    window.ShowWindow(true);
    auto* list = dynamic_cast<CamListUI*>(window.FindControl(QStringLiteral("gamelist")));
    if (!list) {
        std::fprintf(stderr, "the bench window has no device list\n");
        return 1;
    }
    DeviceNodeRows model;
    WalkingRows walking;
    QApplication::processEvents();

    // Interleaved, so that the machine's load affects every contender alike; each fill includes the
    // event processing (layout, paint) it causes. The plain widget is emptied before its timing starts.
    const std::string loadBefore = LoadAverage();
    std::vector<double> qt, cam, bare, walk;
    for (int i = 0; i < runs; ++i) {
        const auto fillPlain = [&] {
            ClearTreeWidget(plain);
            qt.push_back(MedianMs(1, [&] { FillTreeWidget(plain, tree); QApplication::processEvents(); }));
        };
        const auto rebuildList = [&] {
            cam.push_back(MedianMs(1, [&] {
                DeviceListBuilder::RebuildDeviceTree(list->Rows(), "13800138000", tree, im);
                QApplication::processEvents();
            }));
        };
        // Every other round the other one first.
        if (i % 2 == 0) {
            fillPlain();
            rebuildList();
        } else {
            rebuildList();
            fillPlain();
        }
        bare.push_back(MedianMs(1, [&] { DeviceListBuilder::RebuildDeviceTree(model, "13800138000", tree, im); }));
        if (i < 3)
            walk.push_back(MedianMs(1, [&] { walking.Build(tree); }));
    }
    auto median = Median;
    const double reference = median(qt);
    std::vector<double> ratios;
    for (int i = 0; i < runs; ++i)
        ratios.push_back(cam[i] / qt[i]);
    std::printf("device tree rebuild, 1,000 nodes + 10,000 cameras (%zu rows), %d alternating rounds, median (range), "
                "load average %s before, %s after\n",
                model.RowCount(), runs, loadBefore.c_str(), LoadAverage().c_str());
    std::printf("  %-48s %s   1.00x (reference)\n", "QTreeWidget filled (empty before, clear untimed)", Spread(qt).c_str());
    std::printf("  %-48s %s  %5.2fx (per-round ratios %.2f-%.2f)\n", "CamListUI rebuild (node tree + list rows)",
                Spread(cam).c_str(), median(cam) / reference, *std::min_element(ratios.begin(), ratios.end()),
                *std::max_element(ratios.begin(), ratios.end()));
    std::printf("  %-48s %s  %5.2fx\n", "  of which the node tree alone", Spread(bare).c_str(), median(bare) / reference);
    std::printf("  %-48s %8.1f ms  %5.2fx  (%zu rows, median of %zu)\n", "rows found by walking, as first written",
                median(walk), median(walk) / reference, walking.Count(), walk.size());

    // How each grows: five times the tree (5,000 nodes, 50,000 cameras).
    const std::vector<NodeRecord> big = MakeBenchTree(500, 9, 10);
    BenchMessenger bigIm(big);
    DeviceNodeRows bigModel;
    const double bigBare = MedianMs(3, [&] { DeviceListBuilder::RebuildDeviceTree(bigModel, "13800138000", big, bigIm); });
    const double bigWalk = MedianMs(1, [&] { walking.Build(big); });
    std::printf("five times the tree (%zu rows):\n", bigModel.RowCount());
    std::printf("  %-48s %8.1f ms  %5.1fx its time at 11,001 rows\n", "node tree", bigBare, bigBare / median(bare));
    std::printf("  %-48s %8.1f ms  %5.1fx its time at 11,001 rows\n", "rows found by walking, as first written", bigWalk,
                bigWalk / median(walk));
#ifdef KELVUE_BENCH_PROSODY
    FiftyThousandNewCameras(*list, plain, std::min(runs, 5));
#endif
    window.DestroyWindow();
    return 0;
}
