#include "patternlayout.h"

#include <algorithm>

namespace qm {

PatternLayout::PatternLayout(int32_t pw, int32_t ph, const PatternGeometry &geometry)
{
    if (pw <= 0 || ph <= 0)
        return;
    mW = geometry.patternWidth > 0 ? geometry.patternWidth : pw;
    mH = geometry.patternHeight > 0 ? geometry.patternHeight : ph;
    if (mW == pw && mH == ph) {
        mColumns = mRows = 1;
        mStepX = mW;
        mStepY = mH;
        mBlockW = mW;
        mBlockH = mH;
        mBlocks.push_back({0, 0, pw, ph});
        return;
    }
    mStepX = mW + geometry.skipWidth;
    mStepY = mH + geometry.skipHeight;
    // A skip of minus the pattern size or less would step nowhere (or backwards): no patterns.
    if (mStepX <= 0 || mStepY <= 0) {
        mStepX = mStepY = 1;
        return;
    }
    mColumns = std::max<int64_t>((int64_t(pw) + geometry.skipWidth) / mStepX, 0);
    mRows = std::max<int64_t>((int64_t(ph) + geometry.skipHeight) / mStepY, 0);
    if (mColumns == 0 || mRows == 0) {
        mColumns = mRows = 0;
        return;
    }
    // Negative skips make patterns overlap, so a pattern could straddle two blocks: such pictures
    // stay on one surface, which draws the same pixels.
    if (geometry.systemMemory || geometry.skipWidth < 0 || geometry.skipHeight < 0) {
        mBlockW = pw;
        mBlockH = ph;
        mBlockColumns = 1;
        mBlocks.push_back({0, 0, pw, ph});
        return;
    }
    mBlockW = std::min(mStepX * ((mStepX + 511) / mStepX), mStepX * mColumns);
    mBlockH = std::min(mStepY * ((mStepY + 511) / mStepY), mStepY * mRows);
    mBlockColumns = (pw + mBlockW - 1) / mBlockW;
    int64_t blockRows = (ph + mBlockH - 1) / mBlockH;
    for (int64_t i = 0; i < blockRows; ++i)
        for (int64_t j = 0; j < mBlockColumns; ++j) {
            int64_t x = j * mBlockW, y = i * mBlockH;
            mBlocks.push_back({int32_t(x), int32_t(y), int32_t(x + std::min(mBlockW, pw - x)),
                               int32_t(y + std::min(mBlockH, ph - y))});
        }
}

PatternLayout::Place PatternLayout::place(int64_t index) const
{
    if (index == 0) // the pattern nearly every draw asks for, at the top left of the first block
        return {0, {0, 0, int32_t(mW), int32_t(mH)}};
    int64_t row = index / mColumns, column = index % mColumns;
    int64_t x = column * mStepX, y = row * mStepY;
    size_t block = size_t((y / mBlockH) * mBlockColumns + x / mBlockW);
    int64_t bx = x % mBlockW, by = y % mBlockH;
    return {block, {int32_t(bx), int32_t(by), int32_t(bx + mW), int32_t(by + mH)}};
}

} // namespace qm
