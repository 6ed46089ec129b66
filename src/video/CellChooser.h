#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

// Which wall cell a camera goes to. Pure logic over a busy test, so the rules are tested without
// players or windows.
class CellChooser {
public:
    using BusyTest = std::function<bool(int cell)>;

    struct Choice {
        int cell;
        bool replacesStream;  // every cell is busy: the preferred cell's stream must be stopped first
    };

    // The preferred cell when it is free, else the first free cell in index order, else (a full wall)
    // the preferred cell again, whose stream the new camera replaces.
    static Choice ForCamera(int preferredCell, int cellCount, const BusyTest& isBusy);

    // First free cell at or after `fromCell`; -1 when there is none.
    static int NextFree(int fromCell, int cellCount, const BusyTest& isBusy);
};

struct CameraAddress {
    std::string deviceId;
    std::string address;

    bool operator==(const CameraAddress&) const = default;
};

// Cameras of one "open all" request waiting to be placed, one per tick, in the free cells in index
// order. Cameras left when the free cells run out are dropped.
class CameraOpenQueue {
public:
    // Appends the cameras; a queue that was idle starts again from `firstCell` (0 for "open all",
    // the cell a node was dropped on).
    void Add(const std::vector<CameraAddress>& cameras, int firstCell = 0);
    bool Empty() const { return cameras_.empty(); }
    // Drops the waiting cameras `covers` names (they were stopped before their turn).
    void Remove(const std::function<bool(const std::string& deviceId)>& covers);

    struct Placement {
        int cell;  // -1: nothing to place (the queue is empty or the wall has no free cell left)
        CameraAddress camera;
    };
    // Takes the next camera and the next free cell; clears the queue when no free cell is left.
    Placement Next(int cellCount, const CellChooser::BusyTest& isBusy);

private:
    std::deque<CameraAddress> cameras_;
    int nextCell_ = 0;
};
