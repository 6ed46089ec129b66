#pragma once

// The program's own window messages. The numbers are part of the contract between windows and
// workers (and the player library): never renumber them.

#include "ui/WinDef.h"

constexpr UINT WM_CELL_SNAPSHOT = 0x401;
constexpr UINT WM_PLAYER_EVENT = 0x402;
constexpr UINT WM_CELL_STOP = 0x403;
constexpr UINT WM_CELL_REPLAY = 0x404;
constexpr UINT WM_TOGGLE_FULLSCREEN = 0x405;
constexpr UINT WM_EXIT_FULLSCREEN = 0x406;
constexpr UINT WM_REFRESH_RECENT = 0x407;
constexpr UINT WM_CELL_RECORD_START = 0x408;
constexpr UINT WM_CELL_RECORD_STOP = 0x409;
constexpr UINT WM_CELL_PLAYBACK = 0x40A;
constexpr UINT WM_REPLAY_REFRESH = 0x40B;
constexpr UINT WM_ALARM_PICTURE_READY = 0x40C;
constexpr UINT WM_ALARM_PICTURE_FAILED = 0x40D;
constexpr UINT WM_REPLAY_NO_VIDEO = 0x40E;
constexpr UINT WM_SHOW_LOCKSCREEN = 0x40F;
constexpr UINT WM_LOCK_CHANGED = 0x410;
constexpr UINT WM_REBUILD_TREE = 0x411;
constexpr UINT WM_ALARM_COUNT = 0x412;
constexpr UINT WM_CELL_SELECTED = 0x413;
constexpr UINT WM_SWITCH_STREAM = 0x414;
constexpr UINT WM_CELL_PLAY_FAILED = 0x415;
constexpr UINT WM_CELL_OPEN_FAILED = 0x416;
constexpr UINT WM_RESTORE_LAYOUT = 0x417;
constexpr UINT WM_CELL_SHOW_TOOLBAR = 0x418;
constexpr UINT WM_MENU_COMMAND = 0x479;
constexpr UINT WM_SELECT_CELL = 0x65E;

constexpr UINT WM_LAYOUT_1 = 0x661;
constexpr UINT WM_LAYOUT_4 = 0x662;
constexpr UINT WM_LAYOUT_9 = 0x663;
constexpr UINT WM_LAYOUT_16 = 0x664;
constexpr UINT WM_LAYOUT_64 = 0x665;

constexpr UINT WM_IM_CONNECTED = 0x666;
constexpr UINT WM_IM_MESSAGE = 0x667;
constexpr UINT WM_IM_ROSTER = 0x668;
// The IM session was lost; the IM thread is getting it back (no payload).
constexpr UINT WM_IM_DISCONNECTED = 0x66A;
constexpr UINT WM_IM_PRESENCE = 0x66F;

constexpr UINT WM_IDC_Btn_Left = 0x670;
constexpr UINT WM_IDC_Btn_Right = 0x671;
constexpr UINT WM_IDC_Btn_Up = 0x672;
constexpr UINT WM_IDC_Btn_Down = 0x673;
constexpr UINT WM_IDC_Btn_Near = 0x675;
constexpr UINT WM_IDC_Btn_Far = 0x676;
constexpr UINT WM_IDC_Btn_Short = 0x677;
constexpr UINT WM_IDC_Btn_Long = 0x678;
constexpr UINT WM_IDC_Btn_Big = 0x679;
constexpr UINT WM_IDC_Btn_Small = 0x67A;

constexpr UINT WM_REPLAY_SPEED_CMD = 0x67B;
constexpr UINT WM_REPLAY_SEEK_CMD = 0x67C;
constexpr UINT WM_PLAYER_POSITION = 0x67D;
constexpr UINT WM_PLAYER_LENGTH = 0x67E;

constexpr UINT WM_LAYOUT_25 = 0x67F;
constexpr UINT WM_LAYOUT_36 = 0x680;
constexpr UINT WM_LAYOUT_49 = 0x681;
constexpr UINT WM_LAYOUT_6 = 0x682;
constexpr UINT WM_LAYOUT_8 = 0x683;
constexpr UINT WM_LAYOUT_14 = 0x684;
constexpr UINT WM_LAYOUT_17 = 0x685;

constexpr UINT WM_MAXIMIZE_CELL = 0x686;
