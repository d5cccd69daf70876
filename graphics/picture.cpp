#include "picture.h"

#include "platform/bytes.h"
#include "dib.h"

namespace qm {

void TPicture::readData(ByteReader &data)
{
    setGraphic(nullptr);
    uint8_t length = data.u8();
    const uint8_t *name = data.take(length);
    std::string className(reinterpret_cast<const char *>(name), length);
    std::unique_ptr<TGraphic> graphic;
    if (className == "TDIB")
        graphic = std::make_unique<TDIB>();
    else if (className == "TBitmap")
        graphic = std::make_unique<TBitmap>();
    if (!graphic) {
        data.skip(data.remaining());
        return;
    }
    graphic->readData(data);
    setGraphic(std::move(graphic));
}

} // namespace qm
