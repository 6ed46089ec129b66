#include "app/StartupEnvironment.h"

#include "base/AtomicFile.h"
#include "app/LocalConfig.h"

#include <glog/logging.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

void StartupEnvironment::NameSessionBus()
{
    // libdbus tries its own installation folder before the PATH.
    const char* path = std::getenv("PATH");
    const std::string fallback = SessionBusFallback(std::getenv("DBUS_SESSION_BUS_ADDRESS"),
                                                    std::getenv("XDG_RUNTIME_DIR"),
                                                    std::string("/usr/bin:") + (path != nullptr ? path : ""));
    if (!fallback.empty())
        setenv("DBUS_SESSION_BUS_ADDRESS", fallback.c_str(), 1);
}

std::string StartupEnvironment::SessionBusFallback(const char* address, const char* runtimeFolder,
                                                   const std::string& programFolders)
{
    if (address != nullptr && *address != '\0')
        return std::string();
    if (runtimeFolder == nullptr || runtimeFolder[0] != '/')
        return std::string();
    const std::string bus = std::string(runtimeFolder) + "/bus";
    struct stat info {};
    if (lstat(bus.c_str(), &info) == 0)
        return std::string();
    std::size_t start = 0;
    while (start <= programFolders.size()) {
        std::size_t end = programFolders.find(':', start);
        if (end == std::string::npos)
            end = programFolders.size();
        // An empty entry is the working directory, as the shell reads it.
        const std::string folder = end > start ? programFolders.substr(start, end - start) : std::string(".");
        if (access((folder + "/dbus-launch").c_str(), X_OK) == 0)
            return std::string();
        start = end + 1;
    }
    // Bytes outside the set a bus address takes as they are go as %XX.
    std::string escaped = "unix:path=";
    for (unsigned char c : bus) {
        const bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           c == '-' || c == '_' || c == '/' || c == '.' || c == '\\' || c == '*';
        if (plain) {
            escaped += static_cast<char>(c);
        } else {
            static const char kHex[] = "0123456789abcdef";
            escaped += '%';
            escaped += kHex[c >> 4];
            escaped += kHex[c & 0xf];
        }
    }
    return escaped;
}

void StartupEnvironment::Prepare(const char* /*argv0*/)
{
    std::setlocale(LC_ALL, "");
    LocalConfig* config = LocalConfig::Instance();
    config->Init();
    std::string folder = config->ProgramDirectory();
    if (chdir(folder.c_str()) != 0) {
        // Stays in the inherited directory; "temp.txt" and "log.xml" then land there.
    }
    StartLogging(folder);
}

void StartupEnvironment::RefreshDesktopLauncher()
{
    LocalConfig* config = LocalConfig::Instance();
    std::thread([exePath = config->GetExePath(), folder = config->ProgramDirectory()] {
        const std::string desktop = DesktopFolder();
        if (!desktop.empty())
            WriteDesktopLauncher(desktop, exePath, folder);
    }).detach();
}

bool StartupEnvironment::EnsureFolder(const std::string& folder)
{
    struct stat info {};
    if (stat(folder.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode);
    return mkdir(folder.c_str(), 0755) == 0;
}

namespace {

// glog flushes a file at once only for lines above its own severity: a warning written into the
// informational file waits there with the informational lines, for up to logbufsecs (30 s). This sink
// flushes the files after each warning or error, once glog has let go of its lock.
class FlushAfterWarnings final : public google::LogSink {
public:
    void send(google::LogSeverity severity, const char*, const char*, int, const google::LogMessageTime&,
              const char*, std::size_t) override
    {
        if (severity >= google::GLOG_WARNING)
            flushPending_ = true;
    }
    void WaitTillSent() override
    {
        if (flushPending_) {
            flushPending_ = false;
            google::FlushLogFiles(google::GLOG_INFO);
        }
    }

private:
    // send and WaitTillSent run on the thread that logs.
    static inline thread_local bool flushPending_ = false;
};

}  // namespace

void StartupEnvironment::StartLogging(const std::string& programFolder)
{
    static std::once_flag once;
    std::call_once(once, [&] {
        std::string logFolder = programFolder + "GLogFiles/";
        EnsureFolder(logFolder);
        google::InitGoogleLogging("mylog");
        // The folder path is the prefix of the log file names, as the program has always named them.
        google::SetLogDestination(google::GLOG_INFO, logFolder.c_str());
        static FlushAfterWarnings flushAfterWarnings;
        google::AddLogSink(&flushAfterWarnings);
    });
}

void StartupEnvironment::FlushLog() { google::FlushLogFiles(google::GLOG_INFO); }

std::string StartupEnvironment::DesktopFolder()
{
    std::string folder;
    if (FILE* pipe = popen("xdg-user-dir DESKTOP 2>/dev/null", "r")) {
        char line[4096];
        if (std::fgets(line, sizeof line, pipe) != nullptr)
            folder = line;
        pclose(pipe);
    }
    while (!folder.empty() && (folder.back() == '\n' || folder.back() == '/'))
        folder.pop_back();
    if (!folder.empty())
        return folder;
    const char* home = std::getenv("HOME");
    return home != nullptr && *home != '\0' ? std::string(home) + "/Desktop" : std::string();
}

namespace {

// A value of the desktop entry's string type: a backslash and the line-breaking characters escaped, so
// that no path can end the line and add keys of its own.
std::string DesktopEntryString(const std::string& text)
{
    std::string value;
    for (char c : text) {
        switch (c) {
        case '\\': value += "\\\\"; break;
        case '\n': value += "\\n"; break;
        case '\r': value += "\\r"; break;
        case '\t': value += "\\t"; break;
        default: value += c;
        }
    }
    return value;
}

// The program as the one argument of "Exec": quoted, with the characters special inside the quotes
// escaped and "%" doubled (field codes), then escaped as a string value.
std::string DesktopExecArgument(const std::string& program)
{
    std::string quoted = "\"";
    for (char c : program) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        quoted += c;
        if (c == '%')
            quoted += '%';
    }
    return DesktopEntryString(quoted + "\"");
}

}  // namespace

bool StartupEnvironment::WriteDesktopLauncher(const std::string& desktopFolder, const std::string& exePath,
                                              const std::string& programFolder)
{
    // The icon is the one the package installs into the icon theme; without it the desktop shows its own.
    std::string content = "[Desktop Entry]\nType=Application\nName=Kelvue\nExec=" + DesktopExecArgument(exePath) +
                          "\nPath=" + DesktopEntryString(programFolder) +
                          "\nIcon=kelvue\nTerminal=false\nCategories=AudioVideo;Video;\n";
    // Executable, as desktops want of a launcher they are to start.
    return AtomicFile::Write(desktopFolder + "/Kelvue.desktop", content, 0755);
}
