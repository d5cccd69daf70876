#pragma once
// Failures of the graphics runtime. Each class name is what the error box and qmtool report; the
// messages arrive with their placeholders filled in.

#include "platform/errors.h"

#include <string>

namespace qm {

#define QM_GRAPHICS_ERROR(Name)                                                                     \
    class Name : public Error {                                                                    \
    public:                                                                                        \
        explicit Name(const std::string &message) : Error(#Name, message) {}                       \
    };

// Reading a graphics file or the picture data inside it.
QM_GRAPHICS_ERROR(EReadError)
// The resource header in front of the component stream is not one of ours.
QM_GRAPHICS_ERROR(EInvalidImage)
// Picture data that no decoder accepts.
QM_GRAPHICS_ERROR(EInvalidGraphic)
// Picture data whose bit count or pixel layout is not supported.
QM_GRAPHICS_ERROR(EInvalidGraphicOperation)
// A graphics file that cannot be opened.
QM_GRAPHICS_ERROR(EFOpenError)
// Lookups and preparation of an image list's pictures.
QM_GRAPHICS_ERROR(EPictureCollectionError)
// An index outside a list.
QM_GRAPHICS_ERROR(EListError)
// A component name that is not an identifier.
QM_GRAPHICS_ERROR(EComponentError)
// The drawing target could not be set up.
QM_GRAPHICS_ERROR(EDXDrawError)
// The display layer itself could not be set up.
QM_GRAPHICS_ERROR(EDirectDrawError)
// A surface could not be made.
QM_GRAPHICS_ERROR(EDirectDrawSurfaceError)

#undef QM_GRAPHICS_ERROR

// Message texts shared by several readers.
inline constexpr const char *kStreamReadError = "Stream read error";
inline constexpr const char *kInvalidStreamFormat = "Invalid stream format";

// The failure of a graphics file's byte reader: a read past the end of the data.
[[noreturn]] inline void throwStreamReadError() { throw EReadError(kStreamReadError); }

} // namespace qm
