#pragma once
// Reader of graphics files (.dxg) into a picture collection.

#include <cstddef>
#include <cstdint>

namespace qm {

class TPictureCollection;

// Appends the pictures of the graphics file in data to collection, in file order, and takes its
// colour table. Throws the program's errors for every fault of the file; the items read before a
// fault stay in the collection.
void readGraphicsFile(TPictureCollection &collection, const uint8_t *data, size_t size);

} // namespace qm
