#include "trace.h"

#include "engine.h"
#include "recording.h"

#include <cstdio>

namespace qm::game {

namespace {

std::string hex(unsigned value, int digits)
{
    char text[16];
    std::snprintf(text, sizeof text, "%0*x", digits, value);
    return text;
}

// Cells from the first one the game keeps before square 0 to the last settings cell.
int firstCell() { return -Engine::kCellsBefore; }

} // namespace

void TraceWriter::counters(const Engine &engine)
{
    mOut << "m=" << hex(unsigned(engine.heroCell()) & 0xFFF, 3) << " it=" << engine.infotronsLeft()
         << " rd=" << engine.redDisks() << " g=" << engine.gravity() << " fz=" << engine.freezeZonks()
         << " fe=" << engine.freezeEnemies();
}

void TraceWriter::start(const Engine &engine)
{
    const int squares = engine.squares(), width = engine.width();
    mOut << "SPTRACE 1\nDEMO " << mName << "\nSEED " << hex(engine.randomState(), 4) << "\nSTART ";
    counters(engine);
    mOut << "\nFIELD\n";
    for (int cell = 0; cell < squares; ++cell)
        mOut << hex(engine.word(cell), 4) << ((cell + 1) % width == 0 ? '\n' : ' ');
    mOut << "TAIL";
    for (int k = 0; k < Engine::kCellsAfter; ++k)
        mOut << ' ' << hex(engine.word(squares + k), 4);
    int timers = 0;
    for (int cell = 0; cell < squares; ++cell)
        timers += engine.timer(cell) != 0;
    mOut << "\nTIMERS nonzero=" << timers << "\nFRAMES\n";
    const int cells = squares + Engine::kCellsAfter - firstCell();
    mWords.resize(size_t(cells));
    mTimers.resize(size_t(cells));
    for (int k = 0; k < cells; ++k) {
        mWords[size_t(k)] = engine.word(firstCell() + k);
        mTimers[size_t(k)] = engine.timer(firstCell() + k);
    }
    mFrame = 0;
}

void TraceWriter::frame(const Engine &engine, uint8_t input, size_t inputOffset)
{
    const int squares = engine.squares();
    mOut << "F " << mFrame++ << " in=" << int(input) << " b=" << kRecordSize + 1 + inputOffset << ' ';
    counters(engine);
    mOut << " rng=" << hex(engine.randomState(), 4) << " q=" << engine.quitCountdown()
         << " pc=" << engine.plantedCountdown() << "\nC";
    std::string timers, outside;
    for (int k = 0; k < int(mWords.size()); ++k) {
        const int cell = firstCell() + k;
        const uint16_t w = engine.word(cell);
        const int8_t t = engine.timer(cell);
        if (w != mWords[size_t(k)]) {
            mWords[size_t(k)] = w;
            if (cell >= 0 && cell < squares)
                mOut << ' ' << hex(unsigned(cell), 3) << ':' << hex(w, 4);
            else
                outside += ' ' + std::to_string(cell) + ':' + hex(w, 4);
        }
        if (t != mTimers[size_t(k)]) {
            mTimers[size_t(k)] = t;
            if (cell >= 0 && cell < squares)
                timers += ' ' + hex(unsigned(cell), 3) + ':' + std::to_string(int(t));
        }
    }
    mOut << '\n';
    if (!timers.empty())
        mOut << 'E' << timers << '\n';
    if (!outside.empty())
        mOut << 'O' << outside << '\n';
}

void TraceWriter::end(const Engine &engine, int frames)
{
    mOut << "END frames=" << frames << " result=" << (engine.finished() ? "success" : "failure") << '\n';
}

} // namespace qm::game
