#include "gameconfig.h"

#include "levelstore.h"

#include "platform/errors.h"
#include "platform/fileio.h"
#include "platform/files.h"
#include "platform/limits.h"
#include "platform/numbers.h"

#include <filesystem>
#include <algorithm>
#include <string_view>

namespace qm {

bool cfgeddie = false;
bool cfgshowtips = false;
bool cfgmusic = false;
bool cfgsounds = false;
int32_t cfgspeed = 0;
std::string cfglevelsfile;
int32_t cfgsongcount = 0;
std::array<std::string, kMaxSongs + 1> cfgsongs;
int32_t cfglevelsongcount = 0;
std::array<int32_t, kMaxLevelSongs + 1> cfglevelsongs{};

namespace {

constexpr char kEndOfText = 26; // ends a text file wherever it stands

const char *const kBanner1 = "- Quillmoss configuration - this is an internal configuration file -";
const char *const kBanner2 = "------------------ Please be carefull if modify! -------------------";
const char *const kMusicBanner = "------------------------ Music configuration -----------------------";
const char *const kSongsBanner1 = "------------------------ Levels songs ------------------------------";
const char *const kSongsBanner2 = "------------- At every level will be a song number -----------------";
const char *const kSongsBanner3 = "----- 0 means random, the game will choose one of the songs --------";
const char *const kEndBanner = "--------------------- End of configuration file --------------------";

// Reads the configuration text character by character, as a text file: the end of the data and the
// character 26 both end it.
class ConfigReader {
public:
    explicit ConfigReader(std::string_view bytes) : mBytes(bytes) {}

    bool atEnd() const { return mPos >= mBytes.size() || mBytes[mPos] == kEndOfText; }

    char next()
    {
        if (atEnd())
            throwReadBeyondEnd();
        return mBytes[mPos++];
    }

    // Passes the rest of the line and its end (CR LF, CR or LF); at the end of the text, nothing.
    void skipLine()
    {
        while (!atEnd()) {
            char c = mBytes[mPos++];
            if (c == '\n')
                return;
            if (c == '\r') {
                if (!atEnd() && mBytes[mPos] == '\n')
                    ++mPos;
                return;
            }
        }
    }

    void skipLines(int n)
    {
        for (int i = 0; i < n; ++i)
            skipLine();
    }

    // readcfgvalue: everything between the character after the next "=" and the next ";".
    std::string readcfgvalue()
    {
        while (next() != '=') {
        }
        next(); // the space after "="
        std::string value;
        for (char c = next(); c != ';'; c = next())
            value += c;
        skipLine();
        return value;
    }

    int32_t readcfgnumber() { return strToInt(readcfgvalue()); }

private:
    std::string_view mBytes;
    size_t mPos = 0;
};

void line(std::string &out, const std::string &text)
{
    out += text;
    out += "\r\n";
}

void valueLine(std::string &out, const std::string &key, const std::string &value)
{
    out += key;
    writecfgvalue(out, value);
}

const char *flagText(bool flag) { return flag ? "true" : "false"; }

std::string gameConfigPath() { return resolveDataFile(gamedir + kGameConfigName); }

} // namespace

void initGameConfig()
{
    cfgeddie = cfgshowtips = cfgmusic = cfgsounds = false;
    cfgspeed = 0;
    cfglevelsfile.clear();
    cfgsongcount = 0;
    cfgsongs.fill({});
    cfglevelsongcount = 0;
    cfglevelsongs.fill(0);
}

void readgameconfig(const std::string &path)
{
    Bytes bytes = readWholeFile(path, kMaxGameConfigBytes);
    readGameConfigText(std::string(bytes.begin(), bytes.end()));
}

void readGameConfigText(const std::string &text)
{
    ConfigReader in(text);
    in.skipLines(3);
    cfgeddie = in.readcfgvalue() == "Eddie";
    cfgshowtips = in.readcfgvalue() == "true";
    cfgmusic = in.readcfgvalue() == "true";
    cfgsounds = in.readcfgvalue() == "true";
    cfgspeed = in.readcfgnumber();
    cfglevelsfile = in.readcfgvalue();
    in.skipLines(3);

    // Songs and level songs past the hundredth are read, to stay in step with the file, but not kept.
    int32_t songs = in.readcfgnumber();
    cfgsongcount = std::min(songs, kMaxSongs);
    in.skipLines(1);
    for (int32_t k = 1; k <= songs; ++k) {
        std::string song = in.readcfgvalue();
        if (k <= kMaxSongs)
            cfgsongs[static_cast<size_t>(k)] = song;
    }
    in.skipLines(5);
    int32_t levelSongs = in.readcfgnumber();
    cfglevelsongcount = std::min(levelSongs, kMaxLevelSongs);
    in.skipLines(1);
    for (int32_t k = 0; k <= levelSongs; ++k) {
        int32_t song = in.readcfgnumber();
        if (k <= kMaxLevelSongs)
            cfglevelsongs[static_cast<size_t>(k)] = song;
    }
}

void readgameconfig() { readgameconfig(gameConfigPath()); }

void writecfgvalue(std::string &out, const std::string &value)
{
    out += value;
    out += ";\r\n";
}

std::string gameConfigText()
{
    std::string out;
    line(out, kBanner1);
    line(out, kBanner2);
    line(out, "");
    valueLine(out, "Character = ", cfgeddie ? "Eddie" : "Murphy");
    valueLine(out, "Show tips = ", flagText(cfgshowtips));
    valueLine(out, "Music enabled = ", flagText(cfgmusic));
    valueLine(out, "Sounds enabled = ", flagText(cfgsounds));
    valueLine(out, "Speed = ", std::to_string(cfgspeed));
    valueLine(out, "Levels File = ", cfglevelsfile);
    line(out, "");
    line(out, kMusicBanner);
    line(out, "");
    valueLine(out, "Number of songs = ", std::to_string(cfgsongcount));
    line(out, "");
    for (int k = 1; k <= std::min(cfgsongcount, kMaxSongs); ++k)
        valueLine(out, "Song" + std::to_string(k) + " = ", cfgsongs[static_cast<size_t>(k)]);
    line(out, "");
    line(out, kSongsBanner1);
    line(out, kSongsBanner2);
    line(out, kSongsBanner3);
    line(out, "");
    valueLine(out, "Number of levels = ", std::to_string(cfglevelsongcount));
    line(out, "");
    valueLine(out, "Menu = ", std::to_string(cfglevelsongs[0]));
    for (int k = 1; k <= std::min(cfglevelsongcount, kMaxLevelSongs); ++k)
        valueLine(out, "Level" + std::to_string(k) + " = ", std::to_string(cfglevelsongs[static_cast<size_t>(k)]));
    line(out, "");
    line(out, kEndBanner);
    return out;
}

namespace {

// True when path is a file holding exactly these bytes. Any doubt (missing, unreadable, another size)
// answers false, and the file is then written as usual.
bool holdsExactly(const std::string &path, const std::string &text)
{
    std::error_code error;
    if (std::filesystem::file_size(path, error) != text.size() || error)
        return false;
    try {
        const Bytes held = readFileStart(path, text.size());
        return std::equal(held.begin(), held.end(), text.begin(), text.end());
    } catch (const Error &) {
        return false;
    }
}

} // namespace

void writegameconfig(const std::string &path)
{
    std::string text = gameConfigText();
    // A file that already says the same is left alone: the game directory may be installed where the
    // user cannot write, and an unchanged configuration must not fail there.
    if (holdsExactly(path, text))
        return;
    writeFileSafely(path, text.data(), text.size());
}

void writegameconfig() { writegameconfig(gameConfigPath()); }

} // namespace qm
