#include "video/CellChooser.h"

CellChooser::Choice CellChooser::ForCamera(int preferredCell, int cellCount, const BusyTest& isBusy)
{
    if (!isBusy(preferredCell))
        return {preferredCell, false};
    const int free = NextFree(0, cellCount, isBusy);
    if (free >= 0)
        return {free, false};
    return {preferredCell, true};
}

int CellChooser::NextFree(int fromCell, int cellCount, const BusyTest& isBusy)
{
    for (int cell = fromCell < 0 ? 0 : fromCell; cell < cellCount; ++cell)
        if (!isBusy(cell))
            return cell;
    return -1;
}

void CameraOpenQueue::Add(const std::vector<CameraAddress>& cameras, int firstCell)
{
    if (cameras_.empty())
        nextCell_ = firstCell;
    cameras_.insert(cameras_.end(), cameras.begin(), cameras.end());
}

void CameraOpenQueue::Remove(const std::function<bool(const std::string& deviceId)>& covers)
{
    std::erase_if(cameras_, [&](const CameraAddress& camera) { return covers(camera.deviceId); });
}

CameraOpenQueue::Placement CameraOpenQueue::Next(int cellCount, const CellChooser::BusyTest& isBusy)
{
    if (cameras_.empty())
        return {-1, {}};
    const int cell = CellChooser::NextFree(nextCell_, cellCount, isBusy);
    if (cell < 0) {
        cameras_.clear();
        return {-1, {}};
    }
    Placement placement{cell, std::move(cameras_.front())};
    cameras_.pop_front();
    nextCell_ = cell + 1;
    return placement;
}
