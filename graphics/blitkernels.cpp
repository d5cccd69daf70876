#include "blitkernels.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#define QM_X86 1
#include <immintrin.h>
#endif

namespace qm::blit {
namespace {

template <typename Pixel>
void keyedScalar(Pixel *dst, const Pixel *src, size_t n, Pixel key)
{
    for (size_t i = 0; i < n; ++i)
        if (src[i] != key)
            dst[i] = src[i];
}

void keyedScalar32(uint32_t *dst, const uint32_t *src, size_t n, uint32_t key) { keyedScalar(dst, src, n, key); }
void keyedScalar16(uint16_t *dst, const uint16_t *src, size_t n, uint16_t key) { keyedScalar(dst, src, n, key); }

#ifdef QM_X86
// Blending a vector again over pixels already blended gives the same result (key pixels keep the
// destination, others take the source), so a row's last partial vector is done as a full vector
// that overlaps the previous one.

inline __m128i blend128(__m128i s, __m128i d, __m128i isKey)
{
    return _mm_or_si128(_mm_and_si128(isKey, d), _mm_andnot_si128(isKey, s));
}

void keyedSse2_32(uint32_t *dst, const uint32_t *src, size_t n, uint32_t key)
{
    if (n < 4)
        return keyedScalar(dst, src, n, key);
    const __m128i k = _mm_set1_epi32(static_cast<int>(key));
    auto step = [&](size_t i) {
        __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i *>(src + i));
        __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i *>(dst + i));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + i), blend128(s, d, _mm_cmpeq_epi32(s, k)));
    };
    size_t i = 0;
    for (; i + 4 <= n; i += 4)
        step(i);
    if (i < n)
        step(n - 4);
}

void keyedSse2_16(uint16_t *dst, const uint16_t *src, size_t n, uint16_t key)
{
    if (n < 8)
        return keyedScalar(dst, src, n, key);
    const __m128i k = _mm_set1_epi16(static_cast<short>(key));
    auto step = [&](size_t i) {
        __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i *>(src + i));
        __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i *>(dst + i));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + i), blend128(s, d, _mm_cmpeq_epi16(s, k)));
    };
    size_t i = 0;
    for (; i + 8 <= n; i += 8)
        step(i);
    if (i < n)
        step(n - 8);
}

__attribute__((target("avx2"))) void keyedAvx2_32(uint32_t *dst, const uint32_t *src, size_t n, uint32_t key)
{
    if (n < 8)
        return keyedSse2_32(dst, src, n, key);
    const __m256i k = _mm256_set1_epi32(static_cast<int>(key));
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(src + i));
        __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(dst + i));
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(dst + i), _mm256_blendv_epi8(s, d, _mm256_cmpeq_epi32(s, k)));
    }
    if (i < n) {
        i = n - 8;
        __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(src + i));
        __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(dst + i));
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(dst + i), _mm256_blendv_epi8(s, d, _mm256_cmpeq_epi32(s, k)));
    }
}

__attribute__((target("avx2"))) void keyedAvx2_16(uint16_t *dst, const uint16_t *src, size_t n, uint16_t key)
{
    if (n < 16)
        return keyedSse2_16(dst, src, n, key);
    const __m256i k = _mm256_set1_epi16(static_cast<short>(key));
    size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(src + i));
        __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(dst + i));
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(dst + i), _mm256_blendv_epi8(s, d, _mm256_cmpeq_epi16(s, k)));
    }
    if (i < n) {
        i = n - 16;
        __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(src + i));
        __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(dst + i));
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(dst + i), _mm256_blendv_epi8(s, d, _mm256_cmpeq_epi16(s, k)));
    }
}

bool hasAvx2()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}
#endif

Kernel chooseKernel()
{
#ifdef QM_X86
    return hasAvx2() ? Kernel::Avx2 : Kernel::Sse2;
#else
    return Kernel::Scalar;
#endif
}

} // namespace

Kernel activeKernel()
{
    static const Kernel active = chooseKernel();
    return active;
}

KeyedRow32 activeKeyedRow32()
{
    static const KeyedRow32 row = keyedRow32(activeKernel());
    return row;
}

KeyedRow16 activeKeyedRow16()
{
    static const KeyedRow16 row = keyedRow16(activeKernel());
    return row;
}

KeyedRow32 keyedRow32(Kernel kernel)
{
    switch (kernel) {
#ifdef QM_X86
    case Kernel::Sse2:
        return keyedSse2_32;
    case Kernel::Avx2:
        return hasAvx2() ? keyedAvx2_32 : nullptr;
#else
    case Kernel::Sse2:
    case Kernel::Avx2:
        return nullptr;
#endif
    case Kernel::Scalar:
        break;
    }
    return keyedScalar32;
}

KeyedRow16 keyedRow16(Kernel kernel)
{
    switch (kernel) {
#ifdef QM_X86
    case Kernel::Sse2:
        return keyedSse2_16;
    case Kernel::Avx2:
        return hasAvx2() ? keyedAvx2_16 : nullptr;
#else
    case Kernel::Sse2:
    case Kernel::Avx2:
        return nullptr;
#endif
    case Kernel::Scalar:
        break;
    }
    return keyedScalar16;
}

const char *kernelName(Kernel kernel)
{
    switch (kernel) {
    case Kernel::Sse2:
        return "sse2";
    case Kernel::Avx2:
        return "avx2";
    case Kernel::Scalar:
        break;
    }
    return "scalar";
}

void fill32(uint32_t *dst, size_t n, uint32_t value)
{
    if ((value & 0xFF) * 0x01010101u == value) {
        std::memset(dst, int(value & 0xFF), n * 4);
        return;
    }
    for (size_t i = 0; i < n; ++i)
        dst[i] = value;
}

void fill16(uint16_t *dst, size_t n, uint16_t value)
{
    if ((value & 0xFF) * 0x0101u == value) {
        std::memset(dst, value & 0xFF, n * 2);
        return;
    }
    for (size_t i = 0; i < n; ++i)
        dst[i] = value;
}

} // namespace qm::blit
