#pragma once

// Hands the player library the way to reach windows: frames go to the window's VideoSurface and
// messages (position, length) are posted to its handle. Call once at start-up, before the first
// player opens a stream; the library gets the table when it is loaded.
void InstallVideoSurfaceHost();
