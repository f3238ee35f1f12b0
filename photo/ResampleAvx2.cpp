// The resampler's AVX2 kernel, built for x86 processors only. The arithmetic is exact integer
// arithmetic on the same taps as the scalar kernel, only grouped differently, so the bytes are
// the same.
#include "photo/ResampleKernels.h"

#include <immintrin.h>

#include <cstring>

namespace lumo::photo {

using detail::kWeightOne;
using detail::kWeightShift;

namespace {

// Two target pixels' horizontal weights, one pixel per 128-bit lane, as 16-bit pairs
// (left, right) for blue, green and red, then a zero pair.
struct alignas(32) PairWeights
{
    std::int16_t values[16];
};

__attribute__((target("avx2"))) inline __m256i horizontal(const std::uint8_t *row,
                                                          std::size_t first, std::size_t second,
                                                          __m256i spread, __m256i weights)
{
    // 16 bytes from each left pixel: its own 3 bytes and the right neighbour's 3.
    const __m256i bytes = _mm256_loadu2_m128i(reinterpret_cast<const __m128i *>(row + second),
                                              reinterpret_cast<const __m128i *>(row + first));
    return _mm256_madd_epi16(_mm256_shuffle_epi8(bytes, spread), weights);
}

} // namespace

__attribute__((target("avx2"))) void
detail::resampleRowsAvx2(const BgrImage &source, BgrImage &target,
                         const std::vector<ResampleTap> &columns,
                         const std::vector<ResampleTap> &rows)
{
    const int dw = target.width();

    std::vector<std::size_t> offsets(static_cast<std::size_t>(dw));
    std::vector<PairWeights> weights(std::size_t(dw + 1) / 2);
    for (int i = 0; i < dw; ++i) {
        const ResampleTap &tap = columns[std::size_t(i)];
        offsets[std::size_t(i)] = std::size_t(tap.first) * 3;
        std::int16_t *lane = weights[std::size_t(i) / 2].values + (i % 2) * 8;
        for (int c = 0; c < 3; ++c) {
            lane[2 * c] = std::int16_t(kWeightOne - tap.weight);
            lane[2 * c + 1] = std::int16_t(tap.weight);
        }
        lane[6] = lane[7] = 0;
    }

    // Per lane: bytes 0..2 (left pixel) and 3..5 (right pixel) to 16-bit pairs
    // (left blue, right blue), (left green, right green), (left red, right red), (0, 0).
    const __m256i spread =
        _mm256_setr_epi8(0, -1, 3, -1, 1, -1, 4, -1, 2, -1, 5, -1, -1, -1, -1, -1, 0, -1, 3, -1, 1,
                         -1, 4, -1, 2, -1, 5, -1, -1, -1, -1, -1);
    // Four pixels of 4 bytes (blue, green, red, 0) to 12 bytes.
    const __m128i compact = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);

    const int groups = dw / 4;
    for (int j = 0; j < target.height(); ++j) {
        const ResampleTap &rowTap = rows[std::size_t(j)];
        const std::uint8_t *upper = source.row(rowTap.first);
        const std::uint8_t *lower = source.row(rowTap.second);
        const __m256i upperWeight = _mm256_set1_epi32(kWeightOne - rowTap.weight);
        const __m256i lowerWeight = _mm256_set1_epi32(rowTap.weight);
        std::uint8_t *out = target.row(j);

        for (int g = 0; g < groups; ++g) {
            const std::size_t i = std::size_t(g) * 4;
            const __m256i weightsA =
                _mm256_load_si256(reinterpret_cast<const __m256i *>(&weights[i / 2]));
            const __m256i weightsB =
                _mm256_load_si256(reinterpret_cast<const __m256i *>(&weights[i / 2 + 1]));
            const __m256i topA = horizontal(upper, offsets[i], offsets[i + 1], spread, weightsA);
            const __m256i bottomA = horizontal(lower, offsets[i], offsets[i + 1], spread, weightsA);
            const __m256i topB =
                horizontal(upper, offsets[i + 2], offsets[i + 3], spread, weightsB);
            const __m256i bottomB =
                horizontal(lower, offsets[i + 2], offsets[i + 3], spread, weightsB);
            const __m256i valueA =
                _mm256_srli_epi32(_mm256_add_epi32(_mm256_mullo_epi32(topA, upperWeight),
                                                   _mm256_mullo_epi32(bottomA, lowerWeight)),
                                  kWeightShift);
            const __m256i valueB =
                _mm256_srli_epi32(_mm256_add_epi32(_mm256_mullo_epi32(topB, upperWeight),
                                                   _mm256_mullo_epi32(bottomB, lowerWeight)),
                                  kWeightShift);
            // Lanes: valueA = pixels 0 | 1, valueB = pixels 2 | 3; packing works per lane.
            const __m256i words = _mm256_packus_epi32(valueA, valueB); // 0 2 | 1 3
            const __m256i bytes = _mm256_packus_epi16(words, words);
            const __m128i evenPixels = _mm256_castsi256_si128(bytes);          // 0 2 ...
            const __m128i oddPixels = _mm256_extracti128_si256(bytes, 1);      // 1 3 ...
            const __m128i ordered = _mm_unpacklo_epi32(evenPixels, oddPixels); // 0 1 2 3
            const __m128i packed = _mm_shuffle_epi8(ordered, compact);
            _mm_storel_epi64(reinterpret_cast<__m128i *>(out), packed);
            const int last = _mm_cvtsi128_si32(_mm_srli_si128(packed, 8));
            std::memcpy(out + 8, &last, 4);
            out += 12;
        }
        for (int i = groups * 4; i < dw; ++i) {
            const std::size_t left = offsets[std::size_t(i)];
            const int rightWeight = columns[std::size_t(i)].weight;
            const int leftWeight = kWeightOne - rightWeight;
            for (std::size_t c = 0; c < 3; ++c) {
                const int top = upper[left + c] * leftWeight + upper[left + 3 + c] * rightWeight;
                const int bottom = lower[left + c] * leftWeight + lower[left + 3 + c] * rightWeight;
                *out++ = std::uint8_t(
                    (top * (kWeightOne - rowTap.weight) + bottom * rowTap.weight) >> kWeightShift);
            }
        }
    }
}

} // namespace lumo::photo
