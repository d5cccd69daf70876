#pragma once
// Reader of graphics files (.dxg) into a picture collection.

#include <cstddef>
#include <cstdint>
#include <functional>

namespace qm {

class TPictureCollection;

// Appends the pictures of the graphics file in data to collection, in file order, and takes its
// colour table. Throws the program's errors for every fault of the file; the items read before a
// fault stay in the collection.
void readGraphicsFile(TPictureCollection &collection, const uint8_t *data, size_t size);

// A file read as it is parsed: need(end) makes the bytes before end present in the data; passed,
// when set, is told the offset before which the data is never read again.
struct GraphicsFileFeed {
    std::function<void(size_t end)> need;
    std::function<void(size_t offset)> passed;
};
// The same, the data's bytes asked of feed before each read.
void readGraphicsFile(TPictureCollection &collection, const uint8_t *data, size_t size, const GraphicsFileFeed *feed);

} // namespace qm
