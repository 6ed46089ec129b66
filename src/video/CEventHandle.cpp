#include "video/CEventHandle.h"

#include "ui/WindowMessages.h"
#include "ui/WindowRegistry.h"
#include "video/PlayerSlot.h"

void CEventHandle::OnPlayerEvent(int event, int)
{
    if (slot_ != nullptr)
        PostMessage(slot_->notifyWindow.load(), WM_PLAYER_EVENT, static_cast<WPARAM>(event), 0);
}
