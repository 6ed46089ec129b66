#pragma once

// What ffprobe says about a media file, for the recording and snapshot tests.

#include <cstdio>
#include <cstdlib>
#include <string>

inline std::string RunCommand(const std::string& command)
{
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr)
            output += buffer;
        pclose(pipe);
    }
    return output;
}

// The file's duration in seconds as ffprobe reports it; -1 when it cannot read the file.
inline double ProbeDuration(const std::string& path)
{
    const std::string out =
        RunCommand("ffprobe -v error -show_entries format=duration -of csv=p=0 '" + path + "' 2>/dev/null");
    return out.empty() ? -1.0 : std::atof(out.c_str());
}

// "format,codec" names, e.g. "flv\nh264".
inline std::string ProbeFormat(const std::string& path)
{
    std::string out = RunCommand("ffprobe -v error -show_entries format=format_name:stream=codec_name -of csv=p=0 '" +
                                 path + "' 2>/dev/null");
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
        out.pop_back();
    return out;
}

// How many video frames ffprobe decodes from the file; -1 when it cannot read the file.
inline int ProbeDecodedFrames(const std::string& path)
{
    const std::string out = RunCommand("ffprobe -v error -count_frames -select_streams v:0 -show_entries "
                                       "stream=nb_read_frames -of csv=p=0 '" + path + "' 2>/dev/null");
    return out.empty() ? -1 : std::atoi(out.c_str());
}

// "WIDTHxHEIGHT" of the file's video stream as ffprobe reads it; empty when it cannot read the file.
inline std::string ProbeVideoSize(const std::string& path)
{
    std::string out = RunCommand("ffprobe -v error -select_streams v:0 -show_entries stream=width,height "
                                 "-of csv=p=0:s=x '" + path + "' 2>/dev/null");
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
        out.pop_back();
    return out;
}

// Whether the file's first video packet is a key frame (ffprobe's packet flags start with "K").
inline bool ProbeStartsWithKeyFrame(const std::string& path)
{
    const std::string out = RunCommand("ffprobe -v error -select_streams v:0 -read_intervals %+#1 -show_entries "
                                       "packet=flags -of csv=p=0 '" + path + "' 2>/dev/null");
    return !out.empty() && out[0] == 'K';
}
