#pragma once

#include <map>
#include <string>
#include <sys/types.h>

// Reader and writer of Windows-style profile files: "[section]" lines followed by "key=value" lines.
// Sections and keys are compared without regard to case; whitespace around keys and values is ignored;
// lines starting with ";" or "#" are comments; a UTF-8 byte order mark before the first line is skipped
// (and kept). Every write re-reads the file, changes only the lines it must, and replaces the file
// through a temporary file in the same folder and a rename, so a crash never leaves a half-written file;
// a file this process may not write is refused, as an in-place write would be. Not thread-safe: each
// file is used by one thread at a time.
class IniFile {
public:
    // Longest value a read returns (the profile reader's buffer of 256 bytes less its terminator).
    static constexpr std::size_t kMaxRead = 255;

    // The file's content read once, for many reads in a row without going back to the disk.
    class Snapshot {
    public:
        // The reads of IniFile, answered from the content read.
        int ReadString(const std::string& section, const std::string& key, const std::string& def,
                       std::string& out, std::size_t bufferSize = kMaxRead + 1) const;
        int ReadInt(const std::string& section, const std::string& key, int def) const;
        // Number of distinct keys of the section (0 when it is absent).
        std::size_t KeyCount(const std::string& section) const;

    private:
        friend class IniFile;
        explicit Snapshot(std::string content);
        bool Lookup(const std::string& section, const std::string& key, std::string& value) const;

        // Names in lower case; of a section or key that occurs twice, the first counts.
        std::map<std::string, std::map<std::string, std::string>> sections_;
    };

    IniFile() = default;
    explicit IniFile(std::string path) : path_(std::move(path)) {}

    void Bind(const std::string& path) { path_ = path; }
    const std::string& Path() const { return path_; }
    // Files holding credentials: every write leaves the file readable and writable by its owner only.
    void SetOwnerOnly(bool ownerOnly) { ownerOnly_ = ownerOnly; }

    // Reads the whole file (a missing file reads as empty).
    Snapshot Read() const;

    // Reads the value, or `def` when the key is absent, cut to `bufferSize` - 1 bytes (never inside a
    // UTF-8 character, and without blanks left at its end). A non-empty result replaces `out`; an empty
    // one leaves it unchanged. Returns the number of bytes delivered.
    int ReadString(const std::string& section, const std::string& key, const std::string& def,
                   std::string& out, std::size_t bufferSize = kMaxRead + 1) const;
    // The leading decimal integer of the value (0 when it has none), or `def` when the key is absent or empty.
    int ReadInt(const std::string& section, const std::string& key, int def) const;

    bool WriteString(const std::string& section, const std::string& key, const std::string& value);
    bool WriteInt(const std::string& section, const std::string& key, int value);
    // Removes the whole section, its header and its keys. True also when there was no such section.
    bool DeleteSection(const std::string& section);

private:
    bool Rewrite(const std::string& content) const;

    std::string path_;
    bool ownerOnly_ = false;
};
