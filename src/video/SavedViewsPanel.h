#pragma once

#include "app/SavedView.h"

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QLineEdit;
class QVBoxLayout;

// The saved views part of the split chooser: a name field and "保存视图" to save the wall as it is,
// one row per view (its name restores it with one click, "新窗口" opens it in a window of its own,
// "删除" deletes it) and the option to restore the last view at log-in. It only shows and reports;
// WallViews does the work. UI thread only.
class SavedViewsPanel : public QWidget {
public:
    struct Actions {
        std::function<void(const std::string& name)> save;
        std::function<void(const std::string& name)> restore;
        std::function<void(const std::string& name)> openInWindow;
        std::function<void(const std::string& name)> remove;
        std::function<void(bool restoreAtLogin)> setRestoreAtLogin;
    };

    SavedViewsPanel(QWidget* parent, Actions actions);

    // Shows these views (in this order) and the option.
    void Show(const std::vector<SavedView>& views, bool restoreAtLogin);

    // The row buttons of a view, by what they do (tests and screenshots): null when not listed.
    QWidget* RestoreButton(const std::string& name) const;
    QWidget* WindowButton(const std::string& name) const;
    QWidget* RemoveButton(const std::string& name) const;
    QLineEdit* NameField() const { return nameField_; }
    QWidget* SaveButton() const { return saveButton_; }
    QCheckBox* RestoreAtLoginBox() const { return restoreAtLogin_; }

private:
    QWidget* RowButton(const char* role, const std::string& name) const;

    Actions actions_;
    QLineEdit* nameField_;
    QWidget* saveButton_;
    QWidget* rows_;
    QVBoxLayout* rowsLayout_;
    QCheckBox* restoreAtLogin_;
};
