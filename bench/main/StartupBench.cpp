// Process start to the first window shown, for a reference program and one or more programs measured
// against it in the same run, in alternating rounds (the order reversed every other round), on the X
// display of $DISPLAY (run_startup_window_bench.sh gives it an Xvfb screen). A window counts as shown
// when the X server maps a top-level window with the expected title: the moment is the MapNotify event
// itself, seen by this process, with no polling. At that moment the shared libraries the program has
// mapped are counted (/proc/PID/maps). The window counts as painted when the pixel at its centre is
// no longer the black of the screen's background (run_startup_window_bench.sh starts Xvfb with a
// black root), polled every 0.2 ms from the mapping on: what the user sees is the painted window.
//
// Usage: startup_bench ROUNDS TITLE=PROGRAM [TITLE=PROGRAM ...]
// The first program is the reference. Each program runs in its own folder (its working directory).
#include "support/MappedLibraries.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <set>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

struct Program {
    std::string title;
    std::string path;
    std::vector<double> ms;
    std::vector<double> paintedMs;
    std::vector<std::size_t> libraries;
    std::set<std::string> firstLibraries;
};

struct Shown {
    double ms = -1;
    double paintedMs = -1;
    std::size_t libraries = 0;
    std::set<std::string> files;
};

std::string LoadAverage()
{
    std::ifstream file("/proc/loadavg");
    std::string one, five, fifteen;
    file >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

class Display {
public:
    Display() : connection_(xcb_connect(nullptr, nullptr))
    {
        if (xcb_connection_has_error(connection_))
            return;
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
        const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &mask);
        netWmName_ = Atom("_NET_WM_NAME");
        xcb_flush(connection_);
    }
    ~Display() { xcb_disconnect(connection_); }
    bool Usable() const { return root_ != 0; }

    // Starts the program in its own folder and waits (up to 30 s) until it maps a window titled `title`.
    Shown Launch(const std::string& path, const std::string& title)
    {
        Shown shown;
        const std::string folder = path.substr(0, path.rfind('/') + 1);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        while (xcb_generic_event_t* stale = xcb_poll_for_event(connection_))
            std::free(stale);  // what earlier programs' windows did
        char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
        pid_t pid = 0;
        const Clock::time_point start = Clock::now();
        const int failed = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        if (failed != 0)
            return shown;
        while (shown.ms < 0 && Clock::now() - start < std::chrono::seconds(30)) {
            std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> event(xcb_poll_for_event(connection_), &std::free);
            if (!event) {
                if (waitpid(pid, nullptr, WNOHANG) == pid) {
                    pid = 0;
                    break;
                }
                usleep(200);
                continue;
            }
            if ((event->response_type & 0x7f) != XCB_MAP_NOTIFY)
                continue;
            const Clock::time_point mapped = Clock::now();
            const auto* map = reinterpret_cast<const xcb_map_notify_event_t*>(event.get());
            if (Title(map->window) != title)
                continue;
            shown.ms = std::chrono::duration<double, std::milli>(mapped - start).count();
            shown.files = MappedLibraries(pid);
            shown.libraries = shown.files.size();
            while (!Painted(map->window) && Clock::now() - mapped < std::chrono::seconds(5))
                usleep(200);
            shown.paintedMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        }
        if (pid != 0) {
            kill(pid, SIGTERM);
            for (int i = 0; i < 500 && waitpid(pid, nullptr, WNOHANG) == 0; ++i)
                usleep(10000);
            if (kill(pid, SIGKILL) == 0)
                waitpid(pid, nullptr, 0);
        }
        return shown;
    }

private:
    xcb_atom_t Atom(const char* name)
    {
        xcb_intern_atom_reply_t* reply =
            xcb_intern_atom_reply(connection_, xcb_intern_atom(connection_, 0, std::strlen(name), name), nullptr);
        const xcb_atom_t atom = reply != nullptr ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
        std::free(reply);
        return atom;
    }

    // Whether the pixel at the window's centre is drawn: anything but black.
    bool Painted(xcb_window_t window)
    {
        std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> geometry(
            xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr), &std::free);
        if (!geometry)
            return false;
        std::unique_ptr<xcb_get_image_reply_t, decltype(&std::free)> image(
            xcb_get_image_reply(connection_,
                                xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window, geometry->width / 2,
                                              geometry->height / 2, 1, 1, ~0u),
                                nullptr),
            &std::free);
        if (!image)
            return false;
        const std::uint8_t* pixel = xcb_get_image_data(image.get());
        const int length = xcb_get_image_data_length(image.get());
        return std::any_of(pixel, pixel + std::min(length, 3), [](std::uint8_t channel) { return channel != 0; });
    }

    // The window's _NET_WM_NAME (UTF-8), else its WM_NAME.
    std::string Title(xcb_window_t window)
    {
        for (xcb_atom_t property : {netWmName_, static_cast<xcb_atom_t>(XCB_ATOM_WM_NAME)}) {
            xcb_get_property_reply_t* reply = xcb_get_property_reply(
                connection_, xcb_get_property(connection_, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 256),
                nullptr);
            std::string title;
            if (reply != nullptr)
                title.assign(static_cast<const char*>(xcb_get_property_value(reply)), xcb_get_property_value_length(reply));
            std::free(reply);
            if (!title.empty())
                return title;
        }
        return std::string();
    }

    xcb_connection_t* connection_;
    xcb_window_t root_ = 0;
    xcb_atom_t netWmName_ = XCB_ATOM_NONE;
};

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s ROUNDS TITLE=PROGRAM TITLE=PROGRAM...\n", argv[0]);
        return 2;
    }
    const int rounds = std::atoi(argv[1]);
    std::vector<Program> programs;
    for (int i = 2; i < argc; ++i) {
        const std::string argument = argv[i];
        const std::size_t equals = argument.find('=');
        if (equals == std::string::npos)
            return 2;
        programs.push_back(Program{argument.substr(0, equals), argument.substr(equals + 1), {}, {}, {}, {}});
    }
    Display display;
    if (!display.Usable()) {
        std::fprintf(stderr, "startup_bench: no X display\n");
        return 1;
    }
    const std::string loadBefore = LoadAverage();
    // One launch of each first, not counted: the page cache then holds every program's files.
    for (Program& program : programs)
        display.Launch(program.path, program.title);
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t i = 0; i < programs.size(); ++i) {
            Program& program = programs[round % 2 == 0 ? i : programs.size() - 1 - i];
            const Shown shown = display.Launch(program.path, program.title);
            if (shown.ms < 0) {
                std::fprintf(stderr, "startup_bench: %s showed no window \"%s\"\n", program.path.c_str(),
                             program.title.c_str());
                return 1;
            }
            program.ms.push_back(shown.ms);
            program.paintedMs.push_back(shown.paintedMs);
            program.libraries.push_back(shown.libraries);
            if (program.firstLibraries.empty())
                program.firstLibraries = shown.files;
        }
    }

    const Program& reference = programs.front();
    std::printf("process start to the first window shown, %d alternating rounds (load average before: %s, after: %s)\n",
                rounds, loadBefore.c_str(), LoadAverage().c_str());
    const auto figures = [&](const Program& program, const std::vector<double> Program::*times) {
        std::vector<double> ratios;
        for (std::size_t r = 0; r < (program.*times).size(); ++r)
            ratios.push_back((program.*times)[r] / (reference.*times)[r]);
        const auto [fastest, slowest] = std::minmax_element((program.*times).begin(), (program.*times).end());
        const auto [lowest, highest] = std::minmax_element(ratios.begin(), ratios.end());
        std::printf("%6.1f ms (%.1f-%.1f) %5.2fx (%.2f-%.2f)", Median(program.*times), *fastest, *slowest,
                    Median(ratios), *lowest, *highest);
    };
    // Map to paint on its own: the window's own drawing, free of the noise of the start before it.
    const auto paintOnly = [](const Program& program) {
        std::vector<double> spans;
        for (std::size_t r = 0; r < program.ms.size(); ++r)
            spans.push_back(program.paintedMs[r] - program.ms[r]);
        const auto [fastest, slowest] = std::minmax_element(spans.begin(), spans.end());
        std::printf("%5.2f ms (%.2f-%.2f)", Median(spans), *fastest, *slowest);
    };
    std::printf("  %-52s %-34s %-34s %-22s\n", "", "mapped", "painted", "map to paint");
    for (const Program& program : programs) {
        const auto [fewest, most] = std::minmax_element(program.libraries.begin(), program.libraries.end());
        std::printf("  %-52s ", program.path.c_str());
        figures(program, &Program::ms);
        std::printf("  ");
        figures(program, &Program::paintedMs);
        std::printf("  ");
        paintOnly(program);
        std::printf("  %zu libraries mapped", *fewest);
        if (*most != *fewest)
            std::printf(" (up to %zu)", *most);
        std::printf("%s\n", &program == &reference ? "  reference" : "");
    }
    if (std::getenv("STARTUP_BENCH_LIST") != nullptr) {
        for (const Program& program : programs) {
            std::printf("libraries of %s:\n", program.path.c_str());
            for (const std::string& library : program.firstLibraries)
                std::printf("  %s\n", library.c_str());
        }
    }
    return 0;
}
