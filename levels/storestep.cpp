#include "storestep.h"

#include <utility>

namespace qm {

namespace {

template <class... Ts> struct Overloaded : Ts... {
    using Ts::operator()...;
};
// clang 14 (the fuzz build) does not deduce aggregate template arguments by itself.
template <class... Ts> Overloaded(Ts...) -> Overloaded<Ts...>;

} // namespace

void StoreStep::keep(Position &position, bool offsets)
{
    position.curlevel = curlevel;
    position.prevlevel = prevlevel;
    if (offsets)
        position.offsets = std::make_unique<std::array<int32_t, kOffsetCount>>(levelsinfo.offsets);
    else
        position.offsets.reset();
}

void StoreStep::restore(const Position &position)
{
    curlevel = position.curlevel;
    prevlevel = position.prevlevel;
    if (position.offsets)
        levelsinfo.offsets = *position.offsets;
}

void StoreStep::begin() { keep(mBefore, true); }

void StoreStep::finish()
{
    closePatch();
    keep(mAfter, mLevelStep);
    if (!mLevelStep)
        mBefore.offsets.reset();
}

bool StoreStep::deleteLevel(int32_t k)
{
    if (k < 1 || k > levelsinfo.count)
        return false;
    closePatch();
    auto removed = std::make_unique<tlevel>(levels[k]);
    qm::deleteLevel(k);
    mEdits.emplace_back(LevelRemoved{k, std::move(removed)});
    mLevelStep = true;
    return true;
}

void StoreStep::levelInserted(int32_t k)
{
    closePatch();
    mEdits.emplace_back(LevelInserted{k, std::make_unique<tlevel>(levels[k])});
    mLevelStep = true;
}

bool StoreStep::removeInserted(int32_t k)
{
    closePatch();
    if (!mEdits.empty()) {
        const auto *inserted = std::get_if<LevelInserted>(&mEdits.back());
        if (inserted && inserted->k == k && k >= 1 && k <= levelsinfo.count) {
            mEdits.pop_back();
            return qm::deleteLevel(k);
        }
    }
    return deleteLevel(k);
}

bool StoreStep::swapLevels(int32_t a, int32_t b)
{
    closePatch();
    if (!qm::swapLevels(a, b))
        return false;
    mEdits.emplace_back(LevelsSwapped{a, b});
    mLevelStep = true;
    return true;
}

void StoreStep::levelChanging(int32_t k)
{
    closePatch();
    mEdits.emplace_back(LevelChanged{k, std::make_unique<tlevel>(levels[k])});
    mLevelStep = true;
}

CellPatch &StoreStep::patchFor(int32_t k)
{
    if (mTouched.empty() || std::get<CellPatch>(mEdits.back()).level != k) {
        closePatch();
        mEdits.emplace_back(CellPatch{k, {}});
        mTouched.assign(size_t(kGridSize) * kGridSize, -1);
    }
    return std::get<CellPatch>(mEdits.back());
}

void StoreStep::paint(int32_t k, int32_t r, int32_t c, int32_t t, PaintVariant variant, const TileWidth &widthOf)
{
    if (k < 1 || k > kMaxLevels)
        return;
    CellPatch &patch = patchFor(k);
    tlevel &level = levels[k];
    // The cells as they were before the first write of this step reaches them.
    paintingWrites(r, c, t, variant, widthOf,
                   [&](const CellWrite &write) { keepCell(patch, level, write.row, write.column); });
    paintLevel(level, r, c, t, variant, widthOf);
}

void StoreStep::setCell(int32_t k, int32_t r, int32_t c, const cell &value)
{
    if (k < 1 || k > kMaxLevels)
        return;
    tlevel &level = levels[k];
    cell *at = level.cellAt(r, c);
    if (!at)
        return;
    keepCell(patchFor(k), level, r, c);
    *at = value;
}

void StoreStep::keepCell(CellPatch &patch, const tlevel &level, int32_t r, int32_t c)
{
    const cell *at = level.cellAt(r, c);
    if (!at)
        return;
    int32_t &index = mTouched[size_t(r - 1) * kGridSize + size_t(c - 1)];
    if (index < 0) {
        index = int32_t(patch.changes.size());
        patch.changes.push_back({int16_t(r), int16_t(c), *at, *at});
    }
}

void StoreStep::closePatch()
{
    if (mTouched.empty())
        return;
    CellPatch &patch = std::get<CellPatch>(mEdits.back());
    std::vector<CellChange> changed;
    for (CellChange &change : patch.changes) {
        change.after = *levels[patch.level].cellAt(change.row, change.column);
        if (!(change.after == change.before))
            changed.push_back(change);
    }
    changed.shrink_to_fit(); // the history counts and keeps only what it needs
    patch.changes = std::move(changed);
    if (patch.changes.empty())
        mEdits.pop_back();
    std::vector<int32_t>().swap(mTouched);
}

bool StoreStep::leavesLevelsAsTheyWere() const
{
    // The level number before the step that stands at each place after it; levels the step added
    // are numbered 0. Places beyond the file's levels move along with them and come back as well.
    std::vector<int32_t> places(size_t(kMaxLevels) + 1);
    for (size_t i = 0; i < places.size(); ++i)
        places[i] = int32_t(i) + 1;
    std::vector<bool> changed(places.size() + 1, false);
    const auto inside = [&](int32_t k) { return k >= 1 && size_t(k) <= places.size(); };
    for (const StoreEdit &edit : mEdits) {
        bool known = true;
        std::visit(Overloaded{
                       [&](const CellPatch &patch) {
                           if ((known = inside(patch.level)))
                               changed[size_t(places[size_t(patch.level) - 1])] = true;
                       },
                       [&](const LevelRemoved &removed) {
                           if ((known = inside(removed.k)))
                               places.erase(places.begin() + (removed.k - 1));
                       },
                       [&](const LevelInserted &inserted) {
                           if ((known = inserted.k >= 1 && size_t(inserted.k) <= places.size() + 1))
                               places.insert(places.begin() + (inserted.k - 1), 0);
                       },
                       [&](const LevelsSwapped &swapped) {
                           if ((known = inside(swapped.a) && inside(swapped.b)))
                               std::swap(places[size_t(swapped.a) - 1], places[size_t(swapped.b) - 1]);
                       },
                       [&](const LevelChanged &level) {
                           if ((known = inside(level.k)))
                               changed[size_t(places[size_t(level.k) - 1])] = true;
                       },
                   },
                   edit);
        if (!known)
            return false;
    }
    if (places.size() != size_t(kMaxLevels) + 1)
        return false;
    for (size_t i = 0; i < places.size(); ++i)
        if (places[i] != int32_t(i) + 1 || changed[i + 1])
            return false;
    return true;
}

void StoreStep::revert()
{
    for (auto edit = mEdits.rbegin(); edit != mEdits.rend(); ++edit)
        std::visit(Overloaded{
                       [](CellPatch &patch) {
                           for (const CellChange &change : patch.changes)
                               *levels[patch.level].cellAt(change.row, change.column) = change.before;
                       },
                       [](LevelRemoved &removed) { insertLevel(removed.k, *removed.level); },
                       [](LevelInserted &inserted) { qm::deleteLevel(inserted.k); },
                       [](LevelsSwapped &swapped) { qm::swapLevels(swapped.a, swapped.b); },
                       [](LevelChanged &changed) { std::swap(levels[changed.k], *changed.other); },
                   },
                   *edit);
    restore(mBefore);
}

void StoreStep::apply()
{
    for (StoreEdit &edit : mEdits)
        std::visit(Overloaded{
                       [](CellPatch &patch) {
                           for (const CellChange &change : patch.changes)
                               *levels[patch.level].cellAt(change.row, change.column) = change.after;
                       },
                       [](LevelRemoved &removed) { qm::deleteLevel(removed.k); },
                       [](LevelInserted &inserted) { insertLevel(inserted.k, *inserted.level); },
                       [](LevelsSwapped &swapped) { qm::swapLevels(swapped.a, swapped.b); },
                       [](LevelChanged &changed) { std::swap(levels[changed.k], *changed.other); },
                   },
                   edit);
    restore(mAfter);
}

size_t StoreStep::bytes() const
{
    size_t total = sizeof(*this) + mEdits.capacity() * sizeof(StoreEdit);
    for (const Position *position : {&mBefore, &mAfter})
        if (position->offsets)
            total += sizeof(*position->offsets);
    for (const StoreEdit &edit : mEdits) {
        if (const auto *patch = std::get_if<CellPatch>(&edit))
            total += patch->changes.capacity() * sizeof(CellChange);
        else if (!std::holds_alternative<LevelsSwapped>(edit))
            total += sizeof(tlevel);
    }
    return total;
}

} // namespace qm
