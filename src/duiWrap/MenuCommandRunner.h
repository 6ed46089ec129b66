#pragma once

#include "duiWrap/MenuSelection.h"

struct MenuCommand;
class CDuiFrameWnd;

// The menu commands of the node tree, the cameras, the video wall, the recently-watched list and
// the settings, registered with the main window's command table (SetMenuHandler). They read the
// selection of the last menu opened (MenuOpener) and the main window's current camera. Commands
// that open a window run it modally over the main window. UI thread only.
class MenuCommandRunner {
public:
    MenuCommandRunner(CDuiFrameWnd& main, const MenuSelection& selection) : main_(main), selection_(selection) {}

    void Register();

private:
    void SplitNode(const MenuCommand& command);
    void DeleteNode();
    void DeleteCamera();
    void DeleteRecentRow();
    void RebootCamera();
    // "Stop all" and "stop node": the cells of the main wall and of the view windows shown, and the
    // plays still waiting for their camera's address.
    void StopAll();
    void StopNode();
    // Reports a request's outcome over the main window: after a success the tree is fetched again,
    // rebuilt and `done` is shown; a failure shows the service's reason.
    void Report(int result, const char* done);

    CDuiFrameWnd& main_;
    const MenuSelection& selection_;
};
