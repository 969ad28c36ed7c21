#pragma once
// Speech made at test time: espeak-ng, resampled to 16 kHz mono with sox,
// padded with pauses and a faint noise floor as a microphone would give it.

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace rt::test {

struct Voice {
    std::string name = "en-us";
    int speed = 160;
    double before = 0.5;               // seconds of the noise floor before the speech
    double after = 1.0;                // and after it
    double noise = 0.003;              // peak of the noise floor (1 = full scale)
    std::string colour = "whitenoise"; // or "pinknoise", as a room's
    bool markup = false;               // text with <break time="..."/> pauses
};

inline bool synthesise(const std::string& text, const std::filesystem::path& out,
                       const std::filesystem::path& scratch, const Voice& voice = {}) {
    auto raw = scratch / "raw.wav", padded = scratch / "padded.wav", noise = scratch / "noise.wav";
    std::string cmd = "espeak-ng " + std::string(voice.markup ? "-m " : "") + "-v " + voice.name +
                      " -s " + std::to_string(voice.speed) + " -w '" + raw.string() + "' '" + text +
                      "' && sox '" + raw.string() + "' -r 16000 -c 1 -b 16 '" + padded.string() +
                      "' pad " + std::to_string(voice.before) + " " + std::to_string(voice.after) +
                      " && sox -R -n -r 16000 -c 1 -b 16 '" + noise.string() +
                      "' synth \"$(sox --i -D '" + padded.string() + "')\" " + voice.colour +
                      " vol " + std::to_string(voice.noise) + " && sox -m '" + padded.string() +
                      "' '" + noise.string() + "' '" + out.string() + "'";
    return std::system(cmd.c_str()) == 0;
}

inline bool concatenate(const std::vector<std::filesystem::path>& parts,
                        const std::filesystem::path& out) {
    std::string cmd = "sox";
    for (const auto& p : parts)
        cmd += " '" + p.string() + "'";
    return std::system((cmd + " '" + out.string() + "'").c_str()) == 0;
}

} // namespace rt::test
