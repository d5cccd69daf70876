#pragma once
// The pictures of an image list, in file order, with a lookup index by name.

#include "picturecollectionitem.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

class DrawTarget;
class TDXImageList;

class TPictureCollection {
public:
    explicit TPictureCollection(TDXImageList *owner = nullptr) : mOwner(owner) {}
    TPictureCollection(const TPictureCollection &) = delete;
    TPictureCollection &operator=(const TPictureCollection &) = delete;
    ~TPictureCollection();

    TDXImageList *Owner() const { return mOwner; }
    int32_t Count() const { return static_cast<int32_t>(mItems.size()); }
    // The item at index; EListError "List index out of bounds (%d)" outside 0 .. Count - 1.
    TPictureCollectionItem &Items(int32_t index) const;
    // A new item with the default properties, at the end.
    TPictureCollectionItem &Add();
    void Clear();

    // The item named name, letter case ignored; of several, the one named last. Throws
    // EPictureCollectionError "Image '%s' not found".
    TPictureCollectionItem &Find(std::string_view name) const;
    TPictureCollectionItem *findItem(std::string_view name) const;
    static int nameBucket(std::string_view name);

    // Reads a graphics file (a name missing as written is looked up without regard to letter case).
    // EFOpenError "Cannot open file %s: " and the reason ("File not found", "Not a regular file ...")
    // when it cannot be read.
    void LoadFromFile(const std::string &fileName);
    // Replaces all items with those of a graphics file held in memory; when the collection is
    // initialised, the new pictures are prepared before it returns. A failure leaves the items read
    // so far, unprepared.
    void LoadFromStream(const uint8_t *data, size_t size);

    void Initialize(DrawTarget *dxdraw);
    void Finalize();
    void Restore();
    bool initialized() const;

    // While set, an item lets its picture's graphic go as soon as its surfaces are made (the picture
    // keeps its size). Only for a target whose surfaces are never lost and live as long as the
    // items: the pictures cannot make them again. Costs the pictures' memory once instead of twice.
    void setReleasesPictures(bool releases) { mReleasesPictures = releases; }
    bool releasesPictures() const { return mReleasesPictures; }
    DrawTarget *DXDraw() const { return mDXDraw; }

    // The 1,024-byte colour table of the file (kept, not used for drawing).
    const std::array<uint8_t, 1024> &ColorTable() const { return mColorTable; }
    void setColorTable(const uint8_t *bytes) { std::copy(bytes, bytes + 1024, mColorTable.begin()); }

private:
    friend class TPictureCollectionItem;
    // After a load: the pictures prepared for the target, when the collection is initialised.
    void prepareLoaded();
    void renamed(TPictureCollectionItem &item, const std::string &oldName);
    void unindex(TPictureCollectionItem &item, const std::string &name);

    TDXImageList *mOwner;
    std::vector<std::unique_ptr<TPictureCollectionItem>> mItems;
    // Each bucket's chain, its head at the back.
    std::array<std::vector<TPictureCollectionItem *>, 256> mBuckets;
    DrawTarget *mDXDraw = nullptr;
    std::array<uint8_t, 1024> mColorTable{};
    bool mReleasesPictures = false;
};

} // namespace qm
