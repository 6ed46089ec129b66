#pragma once

// A test suite playing the simulated cameras' streams: the recording host installed, FFmpeg's log
// quiet, and one stream server running for the whole suite.

#include "FakeHost.h"
#include "video/StreamServer.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavutil/log.h>
}

class StreamServerSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        av_log_set_level(AV_LOG_ERROR);
        FakeHost::Instance();
        server_ = new camsim::StreamServer;
        ASSERT_TRUE(server_->Start());
    }
    static void TearDownTestSuite()
    {
        delete server_;
        server_ = nullptr;
    }

    static inline camsim::StreamServer* server_ = nullptr;
};
