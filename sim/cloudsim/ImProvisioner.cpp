#include "ImProvisioner.h"

#include "AccountStore.h"
#include "Secret.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace cloudsim {

namespace fs = std::filesystem;

namespace {

struct ImAccount {
    std::string password;
    std::map<std::string, std::string> contacts;  // bare JID -> roster item name
};

std::string LuaString(const std::string& text) {
    std::string quoted = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\%03u", c);
            quoted += escape;
        } else {
            quoted += static_cast<char>(c);
        }
    }
    return quoted + "\"";
}

std::string AccountFile(const ImAccount& account) {
    return "return {\n\t[\"password\"] = " + LuaString(account.password) + ";\n};\n";
}

std::string RosterFile(const ImAccount& account) {
    std::string items;
    for (const auto& [jid, name] : account.contacts)
        items += "\t[" + LuaString(jid) + "] = {\n\t\t[\"groups\"] = {};\n\t\t[\"name\"] = " + LuaString(name) +
                 ";\n\t\t[\"subscription\"] = \"both\";\n\t};\n";
    // The version changes with the content, so a client that caches its roster fetches it again.
    return "return {\n\t[false] = {\n\t\t[\"pending\"] = {};\n\t\t[\"version\"] = " +
           LuaString(MakeSecret(items)) + ";\n\t};\n" + items + "};\n";
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// Writes through a temporary file and a rename, so prosody never reads half a file. Returns false
// when the file already holds exactly this content.
bool WriteIfChanged(const fs::path& path, const std::string& content) {
    if (fs::exists(path) && ReadFile(path) == content) return false;
    fs::path temporary = path;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << content;
        if (!out.flush()) throw std::runtime_error("cannot write " + temporary.string());
    }
    fs::permissions(temporary, fs::perms::owner_read | fs::perms::owner_write);
    fs::rename(temporary, path);
    return true;
}

// Removes the .dat files of a store folder that are not wanted; returns how many.
int RemoveOthers(const fs::path& folder, const std::set<std::string>& wanted) {
    int removed = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        std::string file = entry.path().filename().string();
        if (entry.path().extension() == ".dat" && !wanted.count(file)) {
            fs::remove(entry.path());
            ++removed;
        }
    }
    return removed;
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

ImProvisioner::ImProvisioner(Database& db, std::string dataDir, std::string domain, std::string prosodyConfig)
    : db(db), dataDir(std::move(dataDir)), domain(std::move(domain)), prosodyConfig(std::move(prosodyConfig)) {}

std::string ImProvisioner::EncodeName(const std::string& name) {
    std::string encoded;
    for (unsigned char c : name) {
        if (std::isalnum(c)) {
            encoded += static_cast<char>(c);
        } else {
            char escape[4];
            std::snprintf(escape, sizeof escape, "%%%02x", c);
            encoded += escape;
        }
    }
    return encoded;
}

void ImProvisioner::Sync() {
    try {
        SyncAndReport();
    } catch (const std::exception& error) {
        // The database change stands; the IM side catches up at the next sync.
        std::cerr << "cloudsim: IM provisioning failed: " << error.what() << std::endl;
    }
}

ImProvisioner::Figures ImProvisioner::SyncAndReport() {
    // JIDs are case-insensitive: prosody keeps user parts in lower case.
    std::map<std::string, ImAccount> wanted;  // user part -> account
    {
        Transaction tx(db);
        AccountStore accounts(tx);
        for (const AccountRow& user : accounts.All()) {
            ImAccount& account = wanted[Lower(user.mobile)];
            account.password = user.imPassword;
            for (const std::string& camera : accounts.VisibleCameras(user)) {
                account.contacts[Lower(camera) + "@" + domain] = camera;
                wanted[Lower(camera)].contacts[Lower(user.mobile) + "@" + domain] = user.mobile;
            }
        }
        auto cameras = tx.Query("SELECT deviceId, imPassword FROM camera WHERE ownerId IS NOT NULL");
        while (cameras.Step()) wanted[Lower(cameras.Text(0))].password = cameras.Text(1);
    }

    std::lock_guard<std::mutex> guard(mutex);
    fs::path host = fs::path(dataDir) / EncodeName(domain);
    fs::path accountDir = host / "accounts", rosterDir = host / "roster";
    fs::create_directories(accountDir);
    fs::create_directories(rosterDir);
    Figures figures;
    std::set<std::string> files;
    for (const auto& [user, account] : wanted) {
        std::string file = EncodeName(user) + ".dat";
        files.insert(file);
        ++figures.accounts;
        if (WriteIfChanged(accountDir / file, AccountFile(account))) ++figures.written;
        if (WriteIfChanged(rosterDir / file, RosterFile(account))) {
            ++figures.written;
            figures.rosterChanged = true;
        }
    }
    figures.removed = RemoveOthers(accountDir, files);
    int rostersRemoved = RemoveOthers(rosterDir, files);
    figures.removed += rostersRemoved;
    figures.rosterChanged = figures.rosterChanged || rostersRemoved > 0;
    if (figures.rosterChanged) DropRosterCache();
    return figures;
}

void ImProvisioner::DropRosterCache() {
    // Only a running server has a cache; its admin socket lives in the data folder.
    if (prosodyConfig.empty() || !fs::exists(fs::path(dataDir) / "prosody.sock")) return;
    if (prosodyConfig.find('\'') != std::string::npos || domain.find('"') != std::string::npos) return;
    std::string command = "prosodyctl --config '" + prosodyConfig + "' shell >/dev/null 2>&1";
    FILE* shell = popen(command.c_str(), "w");
    if (!shell) return;
    std::string line = "> prosody.hosts[\"" + domain + "\"].roster_cache = nil\n";
    std::fwrite(line.data(), 1, line.size(), shell);
    pclose(shell);
}

}  // namespace cloudsim
