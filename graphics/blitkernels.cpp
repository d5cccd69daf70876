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
// A row's last partial vector is done as a full vector that overlaps the previous one. It is loaded
// before anything is stored: read back after the previous store, it would wait for that store to
// land (the two overlap only in part), which cost about as much as the rest of a short row. Blending
// the overlap from the original destination gives the same pixels (key pixels keep the destination,
// others take the source).

inline __m128i blend128(__m128i s, __m128i d, __m128i isKey)
{
    return _mm_or_si128(_mm_and_si128(isKey, d), _mm_andnot_si128(isKey, s));
}

template <typename Pixel>
void keyedSse2(Pixel *dst, const Pixel *src, size_t n, Pixel key)
{
    constexpr size_t lanes = 16 / sizeof(Pixel);
    if (n < lanes)
        return keyedScalar(dst, src, n, key);
    constexpr bool wide = sizeof(Pixel) == 4;
    const __m128i k = wide ? _mm_set1_epi32(static_cast<int>(key)) : _mm_set1_epi16(static_cast<short>(key));
    auto blended = [&](size_t i) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i *>(src + i));
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i *>(dst + i));
        return blend128(s, d, wide ? _mm_cmpeq_epi32(s, k) : _mm_cmpeq_epi16(s, k));
    };
    const size_t last = n - lanes;
    const __m128i lastOut = blended(last);
    for (size_t i = 0; i < last; i += lanes)
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + i), blended(i));
    _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + last), lastOut);
}

void keyedSse2_32(uint32_t *dst, const uint32_t *src, size_t n, uint32_t key) { keyedSse2(dst, src, n, key); }
void keyedSse2_16(uint16_t *dst, const uint16_t *src, size_t n, uint16_t key) { keyedSse2(dst, src, n, key); }

// One vector of a keyed row: the source where it is not the key, the destination where it is.
template <typename Pixel>
__attribute__((target("avx2"))) inline __m256i blendedAvx2(const Pixel *src, const Pixel *dst, __m256i key)
{
    const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(src));
    const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(dst));
    return _mm256_blendv_epi8(s, d, sizeof(Pixel) == 4 ? _mm256_cmpeq_epi32(s, key) : _mm256_cmpeq_epi16(s, key));
}

template <typename Pixel>
__attribute__((target("avx2"))) void keyedAvx2(Pixel *dst, const Pixel *src, size_t n, Pixel key)
{
    constexpr size_t lanes = 32 / sizeof(Pixel);
    if (n < lanes)
        return keyedSse2(dst, src, n, key);
    const __m256i k = sizeof(Pixel) == 4 ? _mm256_set1_epi32(static_cast<int>(key))
                                         : _mm256_set1_epi16(static_cast<short>(key));
    const size_t last = n - lanes;
    const __m256i lastOut = blendedAvx2(src + last, dst + last, k);
    for (size_t i = 0; i < last; i += lanes)
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(dst + i), blendedAvx2(src + i, dst + i, k));
    _mm256_storeu_si256(reinterpret_cast<__m256i *>(dst + last), lastOut);
}

void keyedAvx2_32(uint32_t *dst, const uint32_t *src, size_t n, uint32_t key) { keyedAvx2(dst, src, n, key); }
void keyedAvx2_16(uint16_t *dst, const uint16_t *src, size_t n, uint16_t key) { keyedAvx2(dst, src, n, key); }

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
