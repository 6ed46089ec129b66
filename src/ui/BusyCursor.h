#pragma once

// Shows the wait cursor over every window while a service request is under way (RequestRunner).
// Installed by the first window that is created. UI thread only.
class BusyCursor {
public:
    static void Install();
};
