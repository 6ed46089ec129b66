// Fuzz target for the readers of the program's own files: the remembered-accounts file and the viewing
// history ("log.xml"). Every input is given to both as the file's content. Besides "never crash or hang",
// it checks: what is read, written back and read again is the same; an entry never exceeds its buffer;
// the stored count never makes more entries than the file has keys; and a history file that cannot be
// read is kept aside byte for byte, never overwritten.
#include "app/RememberedAccounts.h"
#include "video/ViewHistory.h"

#include <glog/logging.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Groups = std::map<std::string, std::vector<std::string>>;

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// A private folder for the files, on a memory file system where there is one (the writers sync),
// removed when the run ends.
class PrivateFolder {
public:
    PrivateFolder()
    {
        fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        std::string pattern = (base / "kelvue_files_fuzz_XXXXXX").string();
        Check(mkdtemp(pattern.data()) != nullptr);
        path_ = pattern;
    }
    ~PrivateFolder()
    {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

const fs::path& Folder()
{
    static const PrivateFolder folder;
    return folder.Path();
}

void WriteFile(const fs::path& path, const std::string& content)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool SameAccounts(const std::vector<RememberedAccount>& a, const std::vector<RememberedAccount>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const RememberedAccount& x, const RememberedAccount& y) {
        return x.account == y.account && x.password == y.password;
    });
}

void FuzzRememberedAccounts(const std::string& content)
{
    const fs::path path = Folder() / "LoginAccount.ini";
    WriteFile(path, content);
    RememberedAccounts file(path.string());
    file.LoadRememberedAccounts();
    const std::vector<RememberedAccount> read = file.Accounts();
    Check(read.size() <= content.size());  // every entry needs at least one key line
    for (const RememberedAccount& entry : read)
        Check(entry.account.size() <= 19 && entry.password.size() <= 29);
    file.AutoLogin();
    file.UserSwitched();
    if (read.empty())
        return;
    // Saving the first account with its own password rewrites every entry unchanged.
    if (!file.SaveRememberedAccount(read[0].account, read[0].password, true, false)) {
        // The writer refuses only values that would break a line: a carriage return inside a value.
        Check(std::any_of(read.begin(), read.end(), [](const RememberedAccount& e) {
            return (e.account + e.password).find('\r') != std::string::npos;
        }));
        return;
    }
    RememberedAccounts again(path.string());
    again.LoadRememberedAccounts();
    Check(SameAccounts(read, again.Accounts()));
}

Groups LoadGroups(const ViewHistory& history)
{
    Groups groups;
    history.LoadGroups(groups);
    return groups;
}

void FuzzViewHistory(const std::string& content)
{
    const fs::path path = Folder() / "log.xml";
    const fs::path aside = Folder() / "log.xml.bad";
    WriteFile(path, content);
    fs::remove(aside);
    ViewHistory history(path.string());
    const Groups read = LoadGroups(history);

    history.RemoveGroup("no such day");  // a change that changes nothing: the file is saved as read
    if (fs::exists(aside)) {
        Check(read.empty() && ReadFile(aside) == content);  // an unreadable file is kept whole
        Check(LoadGroups(history).empty());
    } else {
        Check(LoadGroups(history) == read);
    }

    const Groups before = LoadGroups(history);
    Check(history.AddCamera("fuzzcam", ViewHistory::Date{2016, 3, 9}));
    Groups after = LoadGroups(history);
    const std::vector<std::string> day = after["2016-3-9"];
    const std::vector<std::string> dayBefore = before.count("2016-3-9") ? before.at("2016-3-9") : std::vector<std::string>{};
    Check(std::count(day.begin(), day.end(), "fuzzcam") >= 1);
    Check(day.size() == dayBefore.size() || day.size() == dayBefore.size() + 1);
    after.erase("2016-3-9");
    Groups othersBefore = before;
    othersBefore.erase("2016-3-9");
    Check(after == othersBefore);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool quiet = [] {
        FLAGS_minloglevel = google::GLOG_FATAL;  // the history's warnings about bad files would flood the run
        return true;
    }();
    (void)quiet;
    const std::string content(reinterpret_cast<const char*>(data), size);
    FuzzRememberedAccounts(content);
    FuzzViewHistory(content);
    return 0;
}
