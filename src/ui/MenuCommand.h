#pragma once

// The record a popup menu sends with WM_MENU_COMMAND (wParam points to it): the chosen item's name
// first, its user data right after it. It is valid while the message is handled; a toolkit window
// frees it afterwards (a plain MessageTarget receiving it must delete it itself).
struct MenuCommand {
    char szName[256] = {};
    char szUserData[1024] = {};
    char szText[1024] = {};
    bool bChecked = false;
};
