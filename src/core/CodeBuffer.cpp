#include "core/CodeBuffer.h"

#include "core/CodeTable.h"

#include <new>

namespace beamlet::core {

void CodeBuffer::type(std::int64_t codePoint)
{
    const auto token = tokenFor(codePoint);
    if (!token)
        return;
    try {
        text_.append(*token);
    } catch (const std::bad_alloc&) {
        // Out of memory: this key press loses its token, and typing goes on.
    }
}

}  // namespace beamlet::core
