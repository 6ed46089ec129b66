#pragma once

#include "app/SavedView.h"

#include <string>
#include <vector>

// One account's saved views, in a JSON file of their own under the program folder
// ("Vyr/views_<account>.json"), and the option to restore the last restored or saved view at log-in.
// Written whole through a temporary file and a rename. A file that cannot be read as views is moved
// aside (never overwritten) and the account carries on without views. UI thread only.
class SavedViews {
public:
    enum class LoadResult { Loaded, NoFile, Corrupt };

    explicit SavedViews(std::string path) : path_(std::move(path)) {}

    // programDirectory ("/" at the end) + "Vyr/views_" + the account, bytes other than letters, digits,
    // '.', '-', '_' and '@' written as %XX, + ".json".
    static std::string PathFor(const std::string& programDirectory, const std::string& account);

    // Replaces what is held by the file's content. A missing file is no views. A file that is not
    // views (bad JSON, wrong types, unknown layouts, cells out of range, duplicate names) or cannot be
    // read leaves no views and is renamed to "<file>.bad" (".bad.1", ".bad.2" ... when taken); when even
    // that fails, Save refuses from then on, so the file is never overwritten.
    LoadResult Load();
    // Where Load put a file it could not read (empty when it could not move it or did not need to).
    const std::string& AsidePath() const { return asidePath_; }

    // Writes every view and the options; creates the "Vyr" folder when missing. False when the file
    // cannot be written (the previous file is then intact).
    bool Save() const;

    const std::vector<SavedView>& Views() const { return views_; }
    const SavedView* Find(const std::string& name) const;
    // Replaces the view of the same name, else appends it.
    void Put(const SavedView& view);
    bool Remove(const std::string& name);

    bool RestoreAtLogin() const { return restoreAtLogin_; }
    void SetRestoreAtLogin(bool restore) { restoreAtLogin_ = restore; }
    // The view saved or restored last; empty when none (or it was removed).
    const std::string& LastView() const { return lastView_; }
    void SetLastView(const std::string& name) { lastView_ = name; }

    const std::string& Path() const { return path_; }

private:
    bool Parse(const std::string& text);
    void MoveAside();

    std::string path_;
    std::string asidePath_;
    bool blocked_ = false;
    std::vector<SavedView> views_;
    bool restoreAtLogin_ = false;
    std::string lastView_;
};
