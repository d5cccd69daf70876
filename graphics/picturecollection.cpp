#include "picturecollection.h"

#include "componentreader.h"
#include "drawtarget.h"
#include "graphicserrors.h"
#include "textcase.h"

#include "platform/errors.h"
#include "platform/fileio.h"
#include "platform/files.h"
#include "platform/limits.h"

#include <algorithm>
#include <optional>

namespace qm {
TPictureCollection::~TPictureCollection() { Clear(); }

TPictureCollectionItem &TPictureCollection::Items(int32_t index) const
{
    if (index < 0 || index >= Count())
        throw EListError(formatMessage("List index out of bounds (%d)", {std::to_string(index)}));
    return *mItems[size_t(index)];
}

TPictureCollectionItem &TPictureCollection::Add()
{
    mItems.push_back(std::make_unique<TPictureCollectionItem>(*this));
    TPictureCollectionItem &item = *mItems.back();
    mBuckets[size_t(nameBucket(""))].push_back(&item);
    return item;
}

void TPictureCollection::Clear()
{
    for (auto &bucket : mBuckets)
        bucket.clear();
    mItems.clear();
}

int TPictureCollection::nameBucket(std::string_view name)
{
    std::string lower = lowerText(name);
    size_t length = lower.size();
    unsigned a = 0;
    if (length >= 2)
        a = static_cast<unsigned char>(lower[0]) + static_cast<unsigned char>(lower[length - 2]);
    return static_cast<int>((length * 16 + a) % 256);
}

void TPictureCollection::unindex(TPictureCollectionItem &item, const std::string &name)
{
    auto &chain = mBuckets[size_t(nameBucket(name))];
    auto it = std::find(chain.begin(), chain.end(), &item);
    if (it != chain.end())
        chain.erase(it);
}

void TPictureCollection::renamed(TPictureCollectionItem &item, const std::string &oldName)
{
    unindex(item, oldName);
    mBuckets[size_t(nameBucket(item.Name()))].push_back(&item);
}

TPictureCollectionItem *TPictureCollection::findItem(std::string_view name) const
{
    const auto &chain = mBuckets[size_t(nameBucket(name))];
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        if (sameTextIgnoringCase((*it)->Name(), name))
            return *it;
    return nullptr;
}

TPictureCollectionItem &TPictureCollection::Find(std::string_view name) const
{
    if (TPictureCollectionItem *item = findItem(name))
        return *item;
    throw EPictureCollectionError(formatMessage("Image '%s' not found", {std::string(name)}));
}

void TPictureCollection::LoadFromFile(const std::string &fileName)
{
    {
        std::optional<ForwardFileBytes> bytes;
        try {
            bytes.emplace(resolveDataFile(fileName), kMaxGraphicsFileBytes);
        } catch (const EInOutError &e) {
            // The reason follows, so that a missing file, a denied one and a pipe are told apart.
            throw EFOpenError(formatMessage("Cannot open file %s", {fileName}) + ": " + e.what());
        }
        Clear();
        // The file is read as it is parsed and its pages handed back once its pictures have copied
        // them: a theme's bytes and its pictures are never all held at once.
        const GraphicsFileFeed feed{[&](size_t end) { bytes->need(end); },
                                    [&](size_t passed) { bytes->releaseBefore(passed); }};
        readGraphicsFile(*this, bytes->data(), bytes->size(), &feed);
    }
    // The pictures hold their own data: the file's bytes are let go before the surfaces are made.
    prepareLoaded();
}

void TPictureCollection::LoadFromStream(const uint8_t *data, size_t size)
{
    Clear();
    readGraphicsFile(*this, data, size);
    prepareLoaded();
}

void TPictureCollection::prepareLoaded()
{
    if (initialized()) {
        Initialize(mDXDraw);
        Restore();
    }
}

bool TPictureCollection::initialized() const { return mDXDraw && mDXDraw->Initialized(); }

void TPictureCollection::Initialize(DrawTarget *dxdraw)
{
    Finalize();
    mDXDraw = dxdraw;
    if (!initialized())
        throw EPictureCollectionError(formatMessage("%s cannot be initialized", {"TPictureCollection"}));
    for (auto &item : mItems)
        item->Initialize();
}

void TPictureCollection::Finalize()
{
    struct LetGo {
        DrawTarget *&target;
        ~LetGo() { target = nullptr; }
    } letGo{mDXDraw};
    for (auto &item : mItems)
        item->Finalize();
}

void TPictureCollection::Restore()
{
    for (auto &item : mItems)
        item->Restore();
}

} // namespace qm
