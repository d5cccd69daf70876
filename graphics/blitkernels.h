#pragma once
// Row kernels of the surface copies. The colour-keyed row copy has a portable version and, on
// x86-64, SSE2 and AVX2 versions; the fastest one the processor runs is chosen once at start-up.

#include <cstddef>
#include <cstdint>

namespace qm::blit {

enum class Kernel { Scalar, Sse2, Avx2 };

// Copies n pixels from src to dst except those equal to key (dst keeps its pixel there).
using KeyedRow32 = void (*)(uint32_t *dst, const uint32_t *src, size_t n, uint32_t key);
using KeyedRow16 = void (*)(uint16_t *dst, const uint16_t *src, size_t n, uint16_t key);

// The kernel in use, and the kernels themselves for the tests (nullptr when the processor lacks one).
Kernel activeKernel();
KeyedRow32 activeKeyedRow32();
KeyedRow16 activeKeyedRow16();
KeyedRow32 keyedRow32(Kernel kernel);
KeyedRow16 keyedRow16(Kernel kernel);
const char *kernelName(Kernel kernel);

// Fills n pixels with value.
void fill32(uint32_t *dst, size_t n, uint32_t value);
void fill16(uint16_t *dst, size_t n, uint16_t value);

} // namespace qm::blit
