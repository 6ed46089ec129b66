// A process that plays one stream until its first frame is converted, then writes one line to standard
// output and exits: the player benchmark times it from process start, as it times ffplay and ffmpeg.
#include "PlayInterface.h"
#include "ScratchHost.h"

extern "C" {
#include <libavutil/log.h>
}

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s URL\n", argv[0]);
        return 2;
    }
    av_log_set_level(AV_LOG_ERROR);
    ScratchHost::Install();
    PlayInterface* player = CreatePlayerObject();
    player->SetPlayMode(PM_REALTIME);
    if (player->Open(argv[1], ScratchHost::Window(0)) != 0)
        return 1;
    while (player->GetPlayState() == PS_OPENING)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    player->Play();
    for (int i = 0; i < 10000 && ScratchHost::FirstFrameNs(0) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const bool shown = ScratchHost::FirstFrameNs(0) != 0;
    if (shown && write(STDOUT_FILENO, "first\n", 6) != 6)
        return 1;
    _exit(shown ? 0 : 1);  // the measure ends at the line; tearing the stream down is not part of it
}
