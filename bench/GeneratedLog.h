#pragma once
// Main Logs for the benchmarks, written piece by piece so that making a log
// of hundreds of megabytes costs no more than a buffer.
#include <cstdio>
#include <functional>
#include <random>
#include <string>

namespace pellam::bench {

// A Main Log as the incident system writes it, grown to `bytes`: entries
// between separator lines, recording labels, notations with and without
// elapsed time, bold and coloured runs, font changes, Windows-1252 bytes as
// \'hh, \u characters with their fallback, and now and then a second
// paragraph inside an entry. `sink` receives it in pieces of about a megabyte.
inline void GenerateMainLog(std::size_t bytes, const std::function<void(const std::string&)>& sink)
{
    static const char* const kAuthors[] = {"Sgt. Ilse Varga", "Lt. Omar Reyes", "Det. Nina Holt", "Cpl. J\\'f8rn Aas"};
    static const char* const kTexts[] = {
        "Subject picked up on the third ring, calm voice.",
        "Caf\\'e9 owner across the street reports movement at the back door.",
        "Command post approves the delivery of water \\endash  two bottles.",
        "Subject asks for \\ldblquote the negotiator from yesterday\\rdblquote .",
        "Costs so far: 1200 \\u8364? for the rental of the generator.",
        "{\\cf2\\b Priority:}  tactical team holding positions on the \\'bd landing.",
    };
    std::mt19937 random(4711);
    std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
                      "{\\f1\\fmodern\\fcharset0 Courier New;}{\\f2\\fnil\\fcharset204 Arial Cyr;}}\r\n"
                      "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue128;}\r\n"
                      "{\\*\\generator Cordane Log Writer 7;}\\viewkind4\\uc1\\pard\\f0\\fs20 "
                      "\\b Cordane Incident Management - Main Log\\b0\\par\r\n"
                      "Incident Number: 4711 Started.\\par\r\n";
    const std::string separator = std::string(71, '-') + "\\par\r\n";
    std::size_t written = 0;
    int minute = 0;
    int recording = 0;
    while (written + out.size() < bytes) {
        out += separator;
        char stamp[64];
        std::snprintf(stamp, sizeof stamp, "12/5/2026 %02d:%02d:%02d - ", 8 + minute / 60 % 12, minute % 60,
            static_cast<int>(random() % 60));
        out += stamp;
        const auto kind = random() % 10;
        if (kind == 0) {
            char label[96];
            std::snprintf(label, sizeof label, "Recording MP3 File: {\\cf1 4711_Rec%03d_%04d.mp3}\\par\r\n",
                ++recording % 1000, minute % 2400);
            out += label;
        } else if (kind == 1) {
            out += "Notation By Sgt. Ilse Varga: written while nothing recorded.\\par\r\n";
        } else {
            char header[96];
            std::snprintf(header, sizeof header, "(%02d:%02d) %sNotation By %s: ", static_cast<int>(random() % 60),
                static_cast<int>(random() % 60), kind == 2 ? "Remote " : "", kAuthors[random() % 4]);
            out += header;
            out += kTexts[random() % 6];
            if (kind == 3)
                out += "\\par\r\n{\\f2 \\'c2\\'fb\\'e7\\'ee\\'e2} {\\f1 continued on the next line}";
            out += "\\par\r\n";
        }
        ++minute;
        if (out.size() >= 1000 * 1000) {
            sink(out);
            written += out.size();
            out.clear();
        }
    }
    sink(out + separator + "}\r\n");
}

inline std::string GenerateMainLog(std::size_t bytes)
{
    std::string log;
    GenerateMainLog(bytes, [&](const std::string& piece) { log += piece; });
    return log;
}

} // namespace pellam::bench
